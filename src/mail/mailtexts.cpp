#include "mail/mailtexts.h"

namespace zqw::mailtext {

std::string encodingText(std::string_view fileName) { return "Encoding " + std::string(fileName); }

std::string finishedEncodingText(std::string_view fileName) {
    return "Finished encoding " + std::string(fileName);
}

std::string progressText(std::uint64_t sent, std::uint64_t total) {
    return std::to_string(sent) + " bytes of " + std::to_string(total) + " sent";
}

std::string recipientNotFoundText(std::string_view address) {
    return "Recipient \"" + std::string(address) + "\" not found";
}

std::string notAnIntegerText(std::string_view text) {
    // Built by appending: GCC 12 takes a literal + temporary string here for
    // an overlapping copy (-Wrestrict) when it inlines it.
    std::string message = "'";
    message += text;
    message += "' is not a valid integer value";
    return message;
}

}  // namespace zqw::mailtext
