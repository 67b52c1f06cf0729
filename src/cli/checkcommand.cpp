#include "checkcommand.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <iostream>
#include <optional>

#include "card/cardchecks.h"
#include "card/cardfileheader.h"
#include "card/cardtextinput.h"
#include "card/cp1252.h"
#include "card/notesoutline.h"
#include "card/plainnotes.h"
#include "offscreenapp.h"
#include "platform/inifile.h"
#include "platform/programpaths.h"
#include "rememberednotes.h"
#include "render/cardfonts.h"
#include "render/printedcellcheck.h"
#include "reviewsupport.h"

namespace zqw {

namespace {

constexpr int kErrorsFound = 1;
constexpr int kFailed = 2;

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli check: " << message << '\n';
    return kFailed;
}

struct CheckRequest {
    std::string templatePath;
    std::string cardPath;
    std::optional<std::string> notesPath;
    std::optional<std::string> settingsPath;
};

std::optional<CheckRequest> parse(const std::vector<std::string>& args) {
    CheckRequest request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--notes" && hasValue) {
            request.notesPath = args[++i];
        } else if (args[i] == "--settings" && hasValue) {
            request.settingsPath = args[++i];
        } else if (args[i].starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) return std::nullopt;
    request.templatePath = positional[0];
    request.cardPath = positional[1];
    return request;
}

int check(const CheckRequest& request) {
    CardFontRegistration cardFonts(findProgramDataDir());
    IniFile settings;
    if (request.settingsPath) {
        const QFileInfo info(QString::fromLocal8Bit(request.settingsPath->c_str()));
        if (!info.isFile() || !info.isReadable())
            return fail("cannot read the settings file " + *request.settingsPath);
        settings = IniFile(info.filePath());
    }
    PrintLayoutSettings layout;
    layout.read(settings);
    const DisplayFontSettings fonts = DisplayFontSettings::read(settings);

    MessageList messages;
    PlainNotes notes;
    Card card(messages, notes);
    if (!card.parseTemplateFile(request.templatePath))
        return fail("cannot read the template " + request.templatePath);
    if (!readCardForReview(card, messages, request.cardPath))
        return fail("cannot read the card " + request.cardPath);

    CheckInputs inputs;
    inputs.linkedNotes = readLinkedNotesName(request.cardPath).value_or("");
    // The reader drops a link it cannot follow.
    inputs.notesFound = inputs.linkedNotes.empty() || !card.notesFileName.empty();
    if (request.notesPath) {
        inputs.notes = readNotesForReview("check", *request.notesPath);
        if (!inputs.notes) return kFailed;
    } else if (inputs.notesFound) {
        inputs.notes = notes.paragraphs();
    }
    if (inputs.notes) {
        for (const std::string& line : *inputs.notes)
            inputs.notesUtf8.push_back(cp1252ToUtf8(line));
    }
    inputs.printed = printedCellFindings(card, layout, fonts);
    // The package that pack would make: the notes only where opening the
    // card would follow its link without a question.
    RememberedNotesLinks remembered;
    if (const auto contents = packageContentsOfCardFile(request.cardPath, &remembered))
        inputs.packageBytes = measurePackage(*contents);

    const std::vector<CheckFinding> findings = checkCard(card, inputs);
    std::string out = "{\"findings\": [";
    for (size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& f = findings[i];
        out += i ? ",\n  {" : "\n  {";
        out += "\"severity\": ";
        out += f.severity == CheckFinding::Severity::Error ? "\"error\"" : "\"warning\"";
        out += ", \"what\": " + jsonUtf8String(cardTextToUnicode(f.what));
        out += ", \"where\": " + jsonUtf8String(cardTextToUnicode(f.where)) + "}";
    }
    out += findings.empty() ? "]}" : "\n]}";
    std::cout << out << '\n';
    std::cout.flush();
    if (!std::cout) return fail("cannot write the output");
    return hasErrors(findings) ? kErrorsFound : 0;
}

}  // namespace

int runCheckCommand(const std::vector<std::string>& args) {
    const auto request = parse(args);
    if (!request)
        return fail("usage: zqwcce-cli check TEMPLATE CARD [--notes NOTES] [--settings INI]");
    return runOffscreen([&] { return check(*request); });
}

}  // namespace zqw
