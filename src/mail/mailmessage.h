#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace zqw {

// One submission: a package sent from the user to the collecting address.
// Texts are UTF-8.
struct MailMessage {
    std::string senderName;
    std::string senderAddress;
    std::string recipient;
    std::string attachmentPath;
};

// The name the attachment travels under: the path without its folders. Both
// slashes separate folders, so a path typed on Windows loses its folders too.
std::string bareFileName(std::string_view path);

// A message without a sender address or recipient cannot be addressed.
bool isHeaderIncomplete(const MailMessage& message);

// Why the message's fields cannot go into a mail header as they are, or an
// empty string. A line break or other control character would start a header
// line of its own, so it is refused rather than cleaned up.
std::string findHeaderProblem(const MailMessage& message);

// The message's own header lines, without line ends. uniqueToken makes the
// Message-ID unique.
std::vector<std::string> composeHeaders(const MailMessage& message,
                                        std::chrono::system_clock::time_point now,
                                        std::string_view uniqueToken);

// The Content-Disposition value of the attachment part; names beyond ASCII
// are carried in the RFC 2231 form.
std::string attachmentDisposition(std::string_view fileName);

// Whether text holds a byte below 0x20 or DEL.
bool hasControlCharacter(std::string_view text);

}  // namespace zqw
