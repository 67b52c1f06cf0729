#include "comparecommand.h"

#include <iostream>
#include <optional>

#include "card/cardcompare.h"
#include "card/cardtextinput.h"
#include "card/cp1252.h"
#include "card/notesoutline.h"
#include "card/plainnotes.h"
#include "reviewsupport.h"

namespace zqw {

namespace {

constexpr int kDiffer = 1;
constexpr int kFailed = 2;

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli compare: " << message << '\n';
    return kFailed;
}

struct CompareRequest {
    std::string templatePath;
    std::string mine;
    std::string theirs;
    std::optional<std::pair<std::string, std::string>> notes;
    bool widths = false;
};

std::optional<CompareRequest> parse(const std::vector<std::string>& args) {
    CompareRequest request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--notes" && i + 2 < args.size()) {
            request.notes = {args[i + 1], args[i + 2]};
            i += 2;
        } else if (args[i] == "--widths") {
            request.widths = true;
        } else if (args[i].starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3) return std::nullopt;
    request.templatePath = positional[0];
    request.mine = positional[1];
    request.theirs = positional[2];
    return request;
}

}  // namespace

int runCompareCommand(const std::vector<std::string>& args) {
    const auto request = parse(args);
    if (!request) {
        return fail(
            "usage: zqwcce-cli compare TEMPLATE MINE.ccf THEIRS.ccf [--notes MINE.txt THEIRS.txt] "
            "[--widths]");
    }
    MessageList messages;
    PlainNotes mineNotes;
    PlainNotes theirsNotes;
    Card mine(messages, mineNotes);
    Card theirs(messages, theirsNotes);
    if (!mine.parseTemplateFile(request->templatePath))
        return fail("cannot read the template " + request->templatePath);
    theirs.parseTemplateFile(request->templatePath);
    if (!readCardForReview(mine, messages, request->mine))
        return fail("cannot read the card " + request->mine);
    if (!readCardForReview(theirs, messages, request->theirs))
        return fail("cannot read the card " + request->theirs);

    std::vector<CardDifference> differences =
        compareCards(mine, theirs, CompareOptions{request->widths});
    if (request->notes) {
        const auto a = readNotesForReview("compare", request->notes->first);
        if (!a) return kFailed;
        const auto b = readNotesForReview("compare", request->notes->second);
        if (!b) return kFailed;
        for (CardDifference& d : compareNotes(*a, *b, SuitChars{}))
            differences.push_back(std::move(d));
    }

    std::string out = "{\"messages\": [";
    for (size_t i = 0; i < messages.messages.size(); ++i) {
        out += (i ? ", " : "") + jsonUtf8String(cp1252ToUtf8(messages.messages[i]));
    }
    out += "], \"differences\": [";
    for (size_t i = 0; i < differences.size(); ++i) {
        const CardDifference& d = differences[i];
        out += i ? ",\n  {" : "\n  {";
        const std::pair<const char*, std::string> texts[] = {
            {"group", cardTextToUnicode(d.group)},
            {"section", cardTextToUnicode(d.section)},
            {"line", cardTextToUnicode(d.line)},
            {"heading", cardTextToUnicode(d.heading)}};
        for (const auto& [name, text] : texts) {
            out += std::string("\"") + name + "\": " + jsonUtf8String(text) + ", ";
        }
        out += "\"row\": " + std::to_string(d.row);
        out += ", \"mine\": " + jsonUtf8String(cardTextToUnicode(d.mine));
        out += ", \"theirs\": " + jsonUtf8String(cardTextToUnicode(d.theirs)) + "}";
    }
    out += differences.empty() ? "]}" : "\n]}";
    std::cout << out << '\n';
    std::cout.flush();
    if (!std::cout) return fail("cannot write the output");
    return differences.empty() ? 0 : kDiffer;
}

}  // namespace zqw
