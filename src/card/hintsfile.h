#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/messagesink.h"
#include "card/texthelpers.h"

namespace zqw {

// The start-up hints, a text file of numbered hints. A line holding "$*$"
// starts hint N, N being the up to five characters after the marker (leading
// blanks, then digits only); text before the marker is not shown. The hint's
// text is every following line up to the next line holding "$*$". Inside a
// text line "$#$" and a letter c, d, h or s stand for a suit.
class HintsFile {
public:
    // No hints at all.
    HintsFile() = default;
    explicit HintsFile(std::string_view bytes);
    // Reads the file; when it cannot be read, reports "Cannot open file " +
    // path and returns nullopt (the window then goes on without hints).
    static std::optional<HintsFile> load(const std::string& path, MessageSink& messages);

    // The lines of hint number, suit markers replaced by the display
    // characters; nullopt when no header has that number. The first header
    // with the number wins; numbers need not be ordered.
    std::optional<std::vector<std::string>> find(int number, const SuitChars& chars) const;

    // The hint to show when hint wanted is asked for: that hint when it
    // exists, otherwise hint 1. number is what the next-hint counter becomes;
    // text is nullopt when neither exists, and the window keeps what it shows.
    struct Choice {
        int number = 1;
        std::optional<std::vector<std::string>> text;
    };
    Choice choose(int wanted, const SuitChars& chars) const;

    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// The number after n, for "Next hint" and closing the window; the largest
// number is followed by 1, so a stored number can never overflow.
int nextHintNumber(int n);

}  // namespace zqw
