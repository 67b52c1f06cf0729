// The card template: any bytes parse into a shape whose blank card survives
// its own card file.

#include <cstdint>
#include <string_view>

#include "card/card.h"
#include "card/filelimits.h"
#include "card/plainnotes.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(std::string_view(reinterpret_cast<const char*>(data), size));
    ZQW_FUZZ_REQUIRE(!card.groups.empty());
    ZQW_FUZZ_REQUIRE(card.groups.size() == card.tabCaptions.size());
    ZQW_FUZZ_REQUIRE(card.lines.size() <= zqw::kMostTemplateLines + 1);

    card.resetToBlankCard();
    const std::string bytes = card.cardFileBytes();
    ZQW_FUZZ_REQUIRE(card.readCardBytes(bytes));
    ZQW_FUZZ_REQUIRE(card.cardFileBytes() == bytes);
    return 0;
}
