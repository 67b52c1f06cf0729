#include "card/customprompts.h"

#include "card/filelimits.h"
#include "card/textfile.h"

namespace zqw {

std::vector<std::string> parseCustomPrompts(std::string_view bytes, const SuitChars& chars) {
    // Unlike the card's own files, a Ctrl-Z does not end this file: it is
    // kept (as a blank), so that saving the list again loses no prompt.
    std::vector<std::string> prompts;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        std::string prompt(bytes.substr(pos, end - pos));
        cleanCellText(prompt);
        codesToDisplay(prompt, chars);
        prompts.push_back(std::move(prompt));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n') {
            ++end;
        }
        pos = end + 1;
    }
    return prompts;
}

std::string customPromptsBytes(const std::vector<std::string>& prompts, const SuitChars& chars) {
    std::string out;
    for (std::string prompt : prompts) {
        displayToCodes(prompt, chars);
        cleanCellText(prompt);
        out += prompt;
        out += "\r\n";
    }
    return out;
}

std::optional<std::vector<std::string>> readCustomPromptsFile(const std::string& path,
                                                              const SuitChars& chars,
                                                              MessageSink& messages) {
    std::string why;
    const auto bytes = readRegularFile(path, kMostCustomPromptsBytes, &why);
    if (!bytes) {
        const bool tooLarge = why == fileTooLargeReason(kMostCustomPromptsBytes);
        messages.showMessage("Cannot open file " + path + (tooLarge ? ": " + why : ""));
        return std::nullopt;
    }
    return parseCustomPrompts(*bytes, chars);
}

bool writeCustomPromptsFile(const std::string& path, const std::vector<std::string>& prompts,
                            const SuitChars& chars, MessageSink& messages) {
    if (!writeFileAtomically(path, customPromptsBytes(prompts, chars))) {
        messages.showMessage("Cannot create file " + path);
        return false;
    }
    return true;
}

}  // namespace zqw
