#include "htmlcommand.h"

#include <iostream>
#include <optional>

#include "card/cardhtml.h"
#include "card/plainnotes.h"
#include "render/cardpagepainter.h"
#include "reviewsupport.h"

namespace zqw {

namespace {

constexpr int kFailed = 2;

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli html: " << message << '\n';
    return kFailed;
}

}  // namespace

int runHtmlCommand(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::optional<std::string> notesPath;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--notes" && i + 1 < args.size()) {
            notesPath = args[++i];
        } else if (args[i].starts_with("--")) {
            positional.clear();
            break;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3)
        return fail("usage: zqwcce-cli html TEMPLATE CARD OUT.html [--notes NOTES]");

    MessageList messages;
    PlainNotes linked;
    Card card(messages, linked);
    if (!card.parseTemplateFile(positional[0]))
        return fail("cannot read the template " + positional[0]);
    if (!readCardForReview(card, messages, positional[1]))
        return fail("cannot read the card " + positional[1]);
    std::vector<std::string> notes = linked.paragraphs();
    if (notesPath) {
        auto read = readNotesForReview("html", *notesPath);
        if (!read) return kFailed;
        notes = std::move(*read);
    }
    const std::string html =
        cardHtml(card, notes, CardPagePainter::title().toStdString(), SuitChars{});
    std::string why;
    if (!writeCardHtml(positional[2], html, &why))
        return fail("cannot write " + positional[2] + (why.empty() ? "" : ": " + why));
    return 0;
}

}  // namespace zqw
