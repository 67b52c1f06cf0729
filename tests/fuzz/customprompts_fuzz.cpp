// The custom prompt file: any bytes give prompts of one line each, free of
// control characters, and the file written from them reads back to the
// same prompts.

#include <cstdint>
#include <string>
#include <string_view>

#include "card/customprompts.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const zqw::SuitChars chars;
    const auto prompts =
        zqw::parseCustomPrompts(std::string_view(reinterpret_cast<const char*>(data), size), chars);
    for (const std::string& prompt : prompts) {
        for (const char c : prompt) ZQW_FUZZ_REQUIRE(static_cast<unsigned char>(c) >= 32);
    }
    const std::string written = zqw::customPromptsBytes(prompts, chars);
    ZQW_FUZZ_REQUIRE(zqw::parseCustomPrompts(written, chars) == prompts);
    return 0;
}
