#include "test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

namespace zqw::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zqwtest-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::path(std::string_view name) const { return (root_ / name).string(); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string crlf(std::initializer_list<std::string_view> records) {
    std::string out;
    for (auto record : records) {
        out += record;
        out += "\r\n";
    }
    return out;
}

CardFixture::CardFixture(std::string_view templateBytes) { card.parseTemplate(templateBytes); }

std::vector<std::string> rowTexts(const Card& card, int lineIndex) {
    std::vector<std::string> texts;
    const TemplateLine& line = card.lines.at(lineIndex);
    int row = line.firstRow;
    for (int k = 0; k < line.rowCount && row != 0; ++k) {
        texts.push_back(card.rows.at(row).text);
        row = card.rows.at(row).nextRow;
    }
    return texts;
}

}  // namespace zqw::test
