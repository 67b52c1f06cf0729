// The DOS card reader, on any bytes as a .ver file, into the bundled card
// (parsed once): the import never reads outside its buffers, every cell it
// fills holds no control character but the suit codes, and the card it
// makes writes and reads back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "card/card.h"
#include "card/dosimport.h"
#include "card/plainnotes.h"
#include "fuzzsupport.h"

namespace {

struct CollectedNotes : zqw::NotesAppender {
    std::vector<std::string> lines;
    void appendLine(const std::string& line) override { lines.push_back(line); }
};

zqw::Card& bundledCard() { return parsedCard(ZQW_SOURCE_DIR "/data/zqw.sel"); }

// The reader takes a path: each input goes through one file of this process.
const std::string& inputPath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder && *folder ? folder : "/tmp") + "/zqw-dos-fuzz-" +
               std::to_string(getpid()) + ".ver";
    }();
    return path;
}

bool onlyCellCharacters(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // The tab ends a field inside a row; 3-6 are the suit codes.
        if (byte < 32 && byte != '\t' && (byte < 3 || byte > 6)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = inputPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ZQW_FUZZ_REQUIRE(file != nullptr);
    ZQW_FUZZ_REQUIRE(size == 0 || std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    zqw::Card& card = bundledCard();
    card.resetToBlankCard();
    CollectedNotes notes;
    ZQW_FUZZ_REQUIRE(zqw::importDosCard(card, notes, path, zqw::SuitChars{}));
    for (const zqw::RowText& row : card.rows) ZQW_FUZZ_REQUIRE(onlyCellCharacters(row.text));
    for (const std::string& line : notes.lines) {
        ZQW_FUZZ_REQUIRE(line.find_first_of("\r\n") == std::string::npos);
        ZQW_FUZZ_REQUIRE(line.size() <= 2 * zqw::kDosFieldLimit);
    }
    const std::string written = card.cardFileBytes();
    ZQW_FUZZ_REQUIRE(card.readCardBytes(written));
    ZQW_FUZZ_REQUIRE(card.cardFileBytes() == written);
    return 0;
}
