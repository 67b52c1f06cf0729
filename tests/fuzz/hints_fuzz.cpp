// The hints file: any bytes can be asked for any hint; what a hint shows is
// lines without line ends, and the choice always lands on a hint that
// exists or on none.

#include <cstdint>
#include <string>
#include <string_view>

#include "card/hintsfile.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const zqw::HintsFile hints(std::string_view(reinterpret_cast<const char*>(data), size));
    const zqw::SuitChars chars;
    // The first bytes also choose which hint is asked for.
    int wanted = 0;
    for (size_t i = 0; i < size && i < 3; ++i) wanted = wanted * 10 + data[i] % 10;
    for (const int number : {wanted, 1, 99999}) {
        const zqw::HintsFile::Choice choice = hints.choose(number, chars);
        if (!choice.text) continue;
        ZQW_FUZZ_REQUIRE(hints.find(choice.number, chars) == choice.text);
        for (const std::string& line : *choice.text)
            ZQW_FUZZ_REQUIRE(line.find_first_of("\r\n") == std::string::npos);
    }
    ZQW_FUZZ_REQUIRE(zqw::nextHintNumber(zqw::nextHintNumber(wanted)) >= 1);
    return 0;
}
