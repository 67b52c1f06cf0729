#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "card/card.h"
#include "card/plainnotes.h"

namespace zqw::test {

// A folder of its own under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(std::string_view name) const;
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

// A string literal with its embedded zero bytes.
template <size_t N>
std::string bin(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// Joins template records with CR LF, the way template files are written.
std::string crlf(std::initializer_list<std::string_view> records);

// A card with its own message list and notes, parsed from template bytes.
struct CardFixture {
    explicit CardFixture(std::string_view templateBytes);
    MessageList messages;
    PlainNotes notes;
    Card card{messages, notes};
};

// The texts of a line's rows in chain order.
std::vector<std::string> rowTexts(const Card& card, int lineIndex);

}  // namespace zqw::test
