#pragma once

#include <cstdio>
#include <cstdlib>

#include "card/card.h"
#include "card/plainnotes.h"

// A property every input must keep; a broken one is a crash the fuzzer
// saves and the replay test reports.
#define ZQW_FUZZ_REQUIRE(condition)                                                      \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)

// The card of a template, parsed once for the whole run so that each input
// costs only its own reading. A harness uses one template.
inline zqw::Card& parsedCard(const char* templatePath) {
    static zqw::MessageList messages;
    static zqw::PlainNotes notes;
    static zqw::Card* card = [templatePath] {
        auto* made = new zqw::Card(messages, notes);
        ZQW_FUZZ_REQUIRE(made->parseTemplateFile(templatePath));
        made->resetToBlankCard();
        return made;
    }();
    return *card;
}
