#include "mail/smtpserver.h"

#include <algorithm>
#include <limits>

#include "mail/mailtexts.h"

namespace zqw {

ParsedPort parsePort(std::string_view text) {
    std::string_view number = text;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!number.empty() && isBlank(number.front())) number.remove_prefix(1);
    while (!number.empty() && isBlank(number.back())) number.remove_suffix(1);

    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    const bool digitsOnly =
        !number.empty() &&
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    // A number too large for an int is no integer value either.
    long long value = 0;
    for (char c : digitsOnly ? number : std::string_view()) {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max() + (negative ? 1LL : 0LL))
            return {0, mailtext::notAnIntegerText(text)};
    }
    if (!digitsOnly) return {0, mailtext::notAnIntegerText(text)};
    if (negative) value = -value;
    if (value < 1 || value > 65535)
        return {0, "Port " + std::to_string(value) + " is out of range (1 to 65535)"};
    return {static_cast<int>(value), {}};
}

}  // namespace zqw
