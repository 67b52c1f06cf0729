#include "mail/mailmessage.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "mail/mailtexts.h"

#ifndef ZQW_VERSION
#error "ZQW_VERSION must be defined by the build"
#endif

namespace zqw {
namespace {

// Long enough for any real name or address, short enough that every header
// line stays far below the 998 bytes mail allows.
constexpr std::size_t kMaxFieldBytes = 256;

// ASCII only, whatever locale the application has set.
constexpr bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {kDigits[n >> 18], kDigits[n >> 12 & 63], kDigits[n >> 6 & 63], kDigits[n & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        out += {kDigits[n >> 18], kDigits[n >> 12 & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += {kDigits[n >> 18], kDigits[n >> 12 & 63], kDigits[n >> 6 & 63], '='};
    }
    return out;
}

// RFC 2047 encoded words of at most 75 characters, split between characters
// so every word decodes on its own.
std::string encodedWords(std::string_view utf8) {
    constexpr std::size_t kMaxChunk = 45;  // 60 base64 characters
    std::string out;
    while (!utf8.empty()) {
        std::size_t cut = std::min(kMaxChunk, utf8.size());
        while (cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
        if (!out.empty()) out += ' ';
        out += "=?UTF-8?B?" + base64(utf8.substr(0, cut)) + "?=";
        utf8.remove_prefix(cut);
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string mailbox(std::string_view name, std::string_view address) {
    if (name.empty()) return std::string(address);
    const std::string phrase = isAscii(name) ? quoted(name) : encodedWords(name);
    return phrase + " <" + std::string(address) + ">";
}

// An address is kept simple: something on both sides of an '@' and none of
// the characters that would let it spill into another address or parameter.
bool isPlausibleAddress(std::string_view address) {
    if (address.find_first_of(" <>(),;:\"\\[]") != std::string_view::npos) return false;
    const auto at = address.rfind('@');
    return at != std::string_view::npos && at > 0 && at + 1 < address.size();
}

std::string rfc5322Date(std::chrono::system_clock::time_point now) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[utc.tm_wday],
                  utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                  utc.tm_sec);
    return text;
}

std::string messageIdDomain(std::string_view senderAddress) {
    const auto at = senderAddress.rfind('@');
    const std::string_view domain =
        at == std::string_view::npos ? std::string_view() : senderAddress.substr(at + 1);
    const bool usable = !domain.empty() && std::all_of(domain.begin(), domain.end(), [](char c) {
        return isAsciiAlnum(c) || c == '.' || c == '-';
    });
    return usable ? std::string(domain) : std::string("zqwcce.invalid");
}

}  // namespace

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string bareFileName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool isHeaderIncomplete(const MailMessage& message) {
    return message.senderAddress.empty() || message.recipient.empty();
}

std::string findHeaderProblem(const MailMessage& message) {
    struct Field {
        const char* what;
        std::string text;
        bool isAddress;
    };
    const Field fields[] = {
        {"The sender's name", message.senderName, false},
        {"The sender's address", message.senderAddress, true},
        {"The recipient's address", message.recipient, true},
        {"The attached file's name", bareFileName(message.attachmentPath), false},
    };
    for (const auto& field : fields) {
        const std::string what = field.what;
        if (hasControlCharacter(field.text))
            return what +
                   " contains a line break or another control character, which a mail header "
                   "cannot carry. Nothing was sent.";
        if (!isValidUtf8(field.text)) return what + " is not valid UTF-8 text. Nothing was sent.";
        if (field.text.size() > kMaxFieldBytes)
            return what + " is longer than " + std::to_string(kMaxFieldBytes) +
                   " bytes. Nothing was sent.";
        if (field.isAddress && !isPlausibleAddress(field.text))
            return what + " \"" + field.text +
                   "\" is not a valid e-mail address. Nothing was sent.";
    }
    return {};
}

std::vector<std::string> composeHeaders(const MailMessage& message,
                                        std::chrono::system_clock::time_point now,
                                        std::string_view uniqueToken) {
    return {
        "Date: " + rfc5322Date(now),
        "Message-ID: <" + std::string(uniqueToken) + "@" + messageIdDomain(message.senderAddress) +
            ">",
        "From: " + mailbox(message.senderName, message.senderAddress),
        "To: " + message.recipient,
        "Subject: " + std::string(mailtext::kSubject),
        "X-Mailer: zqwcce " ZQW_VERSION,
    };
}

std::string attachmentDisposition(std::string_view fileName) {
    if (isAscii(fileName)) return "attachment; filename=" + quoted(fileName);
    std::string encoded;
    for (char c : fileName) {
        const auto byte = static_cast<unsigned char>(c);
        if (isAsciiAlnum(c) || std::string_view("!#$&+-.^_`|~").find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            encoded += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return "attachment; filename*=UTF-8''" + encoded;
}

}  // namespace zqw
