// The notes file: any bytes split into paragraphs the editor can hold, and
// the file written from them reads back to the same paragraphs.

#include <cstdint>
#include <string_view>

#include "card/notesformat.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto paragraphs =
        zqw::parseNotes(std::string_view(reinterpret_cast<const char*>(data), size));
    ZQW_FUZZ_REQUIRE(!paragraphs.empty());
    for (const std::string& paragraph : paragraphs) {
        ZQW_FUZZ_REQUIRE(paragraph.size() <= zqw::kMaxNotesLine);
        ZQW_FUZZ_REQUIRE(paragraph.find_first_of("\r\n") == std::string::npos);
    }
    const std::string written = zqw::serializeNotes(paragraphs);
    ZQW_FUZZ_REQUIRE(zqw::serializeNotes(zqw::parseNotes(written)) == written);
    return 0;
}
