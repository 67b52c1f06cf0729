#include "pdfcommand.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <optional>

#include "card/card.h"
#include "card/notesprintplan.h"
#include "card/plainnotes.h"
#include "offscreenapp.h"
#include "platform/inifile.h"
#include "platform/programpaths.h"
#include "rememberednotes.h"
#include "render/cardfonts.h"
#include "render/cardpagepainter.h"
#include "render/displayfontsettings.h"
#include "render/notespagepainter.h"
#include "render/printlayoutsettings.h"

namespace zqw {

namespace {

constexpr int kEmpty = 1;
constexpr int kFailed = 2;

int fail(int status, const std::string& message) {
    std::cerr << "zqwcce-cli pdf: " << message << '\n';
    return status;
}

struct PdfRequest {
    std::string templatePath;
    std::string cardPath;
    std::string outPath;
    CardPages pages = CardPages::All;
    std::optional<std::string> settingsPath;
    std::optional<std::string> notesOutPath;
};

std::optional<PdfRequest> parse(const std::vector<std::string>& args) {
    PdfRequest request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--page" && hasValue) {
            const std::string& page = args[++i];
            if (page == "all") {
                request.pages = CardPages::All;
            } else if (page == "1") {
                request.pages = CardPages::FirstOnly;
            } else if (page == "2") {
                request.pages = CardPages::SecondOnly;
            } else {
                return std::nullopt;
            }
        } else if (word == "--settings" && hasValue) {
            request.settingsPath = args[++i];
        } else if (word == "--notes" && hasValue) {
            request.notesOutPath = args[++i];
        } else if (word.starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(word);
        }
    }
    if (positional.size() != 3) return std::nullopt;
    request.templatePath = positional[0];
    request.cardPath = positional[1];
    request.outPath = positional[2];
    return request;
}

QString qPath(const std::string& path) { return QString::fromLocal8Bit(path.c_str()); }

bool readFailed(const MessageList& messages, const std::string& cardPath) {
    return std::any_of(messages.messages.begin(), messages.messages.end(), [&](const auto& text) {
        return text == cardPath + " file not found" ||
               text == cardPath + " has Invalid file content";
    });
}

int render(const PdfRequest& request) {
    CardFontRegistration cardFonts(findProgramDataDir());

    IniFile settings;
    if (request.settingsPath) {
        const QFileInfo info(qPath(*request.settingsPath));
        if (!info.isFile() || !info.isReadable()) {
            return fail(kFailed, "cannot read the settings file " + *request.settingsPath);
        }
        settings = IniFile(info.filePath());
    }
    PrintLayoutSettings layout;
    // What the editor would say at start-up about these settings (margins
    // that leave nothing to print, an unknown paper) stops a command that
    // would otherwise print something else than asked.
    const QStringList problems = layout.read(settings);
    if (!problems.isEmpty()) {
        const std::string source =
            request.settingsPath ? "the settings file " + *request.settingsPath : "the settings";
        return fail(kFailed, source + ": " + problems.join(u' ').toStdString());
    }
    DisplayFontSettings fonts = DisplayFontSettings::read(settings);
    // The editor starts with the card font's own suit characters whatever
    // the file holds; printing from here must print what it prints.
    fonts.suitChars = SuitChars{};

    MessageList messages;
    PlainNotes notes;
    Card card(messages, notes);
    RememberedNotesLinks remembered(&messages);
    card.setNotesLinkApproval(&remembered);
    if (!card.parseTemplateFile(request.templatePath)) {
        return fail(kFailed, "cannot read the template " + request.templatePath);
    }
    card.cardFileName = request.cardPath;
    if (!card.readCardFile() || readFailed(messages, request.cardPath)) {
        return fail(kFailed, "cannot read the card " + request.cardPath);
    }

    const double dpi = CardPageSetup::kDefaultPrinterDpi;
    CardPagePainter cardPages(card, layout, fonts, request.pages);
    cardPages.layOut(dpi);
    if (cardPages.pageCount() == 0) return fail(kEmpty, "the card has no such page to print");
    QString error;
    if (!writeReportPdf(cardPages, qPath(request.outPath), dpi, &error)) {
        return fail(kFailed, error.toStdString());
    }

    if (request.notesOutPath) {
        if (card.notesFileName.empty()) {
            return fail(kFailed, "the card links no notes file that can be read");
        }
        // The notes print on the paper the print windows last used.
        const int paper =
            layout.paperIndex(settings.readString(QStringLiteral("rbPaper"), QStringLiteral("A4")));
        NotesPagePainter notesPages(
            notes.paragraphs(), card.notesFileName, notesTitleTexts(card, fonts.suitChars), layout,
            fonts, paper >= 0 ? layout.paperSizes()[paper] : QPageSize(QPageSize::A4));
        if (!writeReportPdf(notesPages, qPath(*request.notesOutPath), dpi, &error)) {
            return fail(kFailed, error.toStdString());
        }
    }
    return 0;
}

}  // namespace

int runPdfCommand(const std::vector<std::string>& args) {
    const std::optional<PdfRequest> request = parse(args);
    if (!request) {
        std::cerr << "usage: zqwcce-cli pdf TEMPLATE CARD OUT.pdf [--page all|1|2] "
                     "[--settings INI] [--notes NOTES-OUT.pdf]\n";
        return kFailed;
    }
    return runOffscreen([&] { return render(*request); });
}

}  // namespace zqw
