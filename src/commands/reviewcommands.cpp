#include "commands/reviewcommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "card/cardhtml.h"
#include "card/cardindex.h"
#include "card/cardtextinput.h"
#include "card/notesoutline.h"
#include "card/plainnotes.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "commands/outputmodule.h"
#include "commands/outputparts.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "render/cardpagepainter.h"
#include "render/printedcellcheck.h"
#include "review/checkwindow.h"
#include "review/comparewindow.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kWebPageFilter = QStringLiteral("Web pages (*.html)|*.html");
const QString kItemNames[] = {QStringLiteral("compareWithCard"), QStringLiteral("checkCard"),
                              QStringLiteral("exportWebPage")};

QString unicodeText(const std::string& cardText) {
    return QString::fromStdString(zqw::cardTextToUnicode(cardText));
}

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

void showRaised(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

// The partner's card, read with the same template as mine.
struct ReviewCommands::TheirCard {
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card{messages, notes};
};

ReviewCommands::ReviewCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      settings_(context.settings),
      dialogs_(context.dialogs),
      output_(context.output) {
    const auto update = [this] { updateActions(); };
    context.menu.add(*this, kItemNames[0], QStringLiteral("Compare with\u2026"), {}, update,
                     [this] { compareWithCard(); });
    context.menu.add(*this, kItemNames[1], QStringLiteral("Check card\u2026"), {}, update,
                     [this] { checkCard(); });
    context.menu.add(*this, kItemNames[2], QStringLiteral("Export as web page\u2026"), {}, update,
                     [this] { exportWebPage(); });
    // An undo or another card makes the list of differences stale.
    connect(&document_, &CardDocument::answersRestored, this, [this] {
        if (compareWindow_ && compareWindow_->isVisible()) refreshDifferences();
    });
}

ReviewCommands::~ReviewCommands() = default;

void ReviewCommands::updateActions() {
    for (QAction* item : findChildren<QAction*>()) {
        MenuActions::setItemEnabled(item, document_.isOpen());
    }
}

std::vector<std::string> ReviewCommands::notesParagraphs(
    std::vector<zqw::ReplacedCharacter>* replaced) const {
    // The notes as their file holds them.
    std::vector<std::string> paragraphs;
    for (const QString& line : notes_.toPlainText().split(QLatin1Char('\n'))) {
        CardTextEntry entry = enterCardText(line, settings_.suitChars());
        paragraphs.push_back(std::move(entry.bytes));
        if (!replaced) continue;
        for (const zqw::ReplacedCharacter& each : entry.replaced)
            zqw::noteReplaced(*replaced, each);
    }
    return paragraphs;
}

CompareWindow& ReviewCommands::compareWindow() {
    if (!compareWindow_) {
        compareWindow_ = std::make_unique<CompareWindow>(&view_);
        connect(compareWindow_.get(), &CompareWindow::differenceChosen, this,
                &ReviewCommands::goToDifference);
        connect(compareWindow_.get(), &CompareWindow::takeTheirsChosen, this,
                &ReviewCommands::takeTheirs);
        connect(compareWindow_.get(), &CompareWindow::columnWidthsToggled, this,
                &ReviewCommands::refreshDifferences);
    }
    return *compareWindow_;
}

CheckWindow& ReviewCommands::checkWindow() {
    if (!checkWindow_) {
        checkWindow_ = std::make_unique<CheckWindow>(&view_);
        connect(checkWindow_.get(), &CheckWindow::findingChosen, this,
                &ReviewCommands::goToFinding);
        connect(checkWindow_.get(), &CheckWindow::checkAgainChosen, this,
                [this] { showFindings(runChecks()); });
    }
    return *checkWindow_;
}

// --- compare ----------------------------------------------------------------

void ReviewCommands::compareWithCard() {
    if (!document_.isOpen()) return;
    view_.storePendingEdits();
    const std::optional<QString> path =
        dialogs_.openFile(UserDialogs::FileRequest::of(kCardFilter, QStringLiteral("ccf")));
    if (!path) return;
    auto theirs = std::make_unique<TheirCard>();
    const QString templatePath = QDir(settings_.programDir()).filePath(QStringLiteral("zqw.sel"));
    if (!theirs->card.parseTemplateFile(localPath(templatePath))) {
        dialogs_.message(QStringLiteral("zqw.sel file not found"));
        return;
    }
    const std::string file = localPath(*path);
    theirs->card.cardFileName = file;
    theirs->card.readCardFile();
    // The reader falls back to a blank card and says why: comparing with
    // that blank card would list every answer of mine.
    for (const std::string& message : theirs->messages.messages) {
        if (message == file + " file not found" || message == file + " has Invalid file content") {
            dialogs_.message(fromMessageText(message));
            return;
        }
    }
    theirs_ = std::move(theirs);
    theirsFile_ = QFileInfo(*path).fileName();
    refreshDifferences();
    showRaised(compareWindow());
}

void ReviewCommands::refreshDifferences() {
    if (!theirs_) return;
    const zqw::Card& mine = document_.card();
    const zqw::CompareOptions options{compareWindow().columnWidthsShown()};
    differences_ = zqw::compareCards(mine, theirs_->card, options);
    for (zqw::CardDifference& d :
         zqw::compareNotes(notesParagraphs(), theirs_->notes.paragraphs(), settings_.suitChars()))
        differences_.push_back(std::move(d));

    QList<DifferenceRow> rows;
    for (const zqw::CardDifference& d : differences_) {
        rows.append({unicodeText(d.group), unicodeText(d.section), unicodeText(d.line),
                     unicodeText(d.heading), d.row, unicodeText(d.mine), unicodeText(d.theirs),
                     d.kind != zqw::CardDifference::Kind::NotesLine});
    }
    compareWindow().showDifferences(theirsFile_, rows);
}

void ReviewCommands::goToDifference(int index) {
    if (index < 0 || index >= static_cast<int>(differences_.size())) return;
    const zqw::CardDifference& d = differences_[static_cast<size_t>(index)];
    if (d.kind == zqw::CardDifference::Kind::NotesLine) {
        // The line under the same heading in my notes, or the nearest one.
        for (const zqw::NoteBlock& block : zqw::splitNotes(notesParagraphs())) {
            if (block.noteNo != d.noteNo) continue;
            const int last = block.firstParagraph + static_cast<int>(block.lines.size()) - 1;
            goToNotesParagraph(std::min(block.firstParagraph + d.row - 1, last));
            return;
        }
        goToNotesParagraph(1);
        return;
    }
    // My grid row of the difference: the rows of the grid's lines before
    // it, then its place in its line (its last row when only theirs has it).
    const zqw::Card& card = document_.card();
    if (d.sectionIndex < 0 || d.sectionIndex >= static_cast<int>(card.sections.size())) return;
    const zqw::Section& s = card.sections[static_cast<size_t>(d.sectionIndex)];
    int gridRow = 1;
    if (d.lineIndex > 0) {
        const int first = d.grid == 2 ? s.firstLine2 : s.firstLine;
        int before = 0;
        for (int l = first; l < d.lineIndex; ++l)
            before += card.lines[static_cast<size_t>(l)].rowCount;
        const int inLine =
            std::min(d.position, card.lines[static_cast<size_t>(d.lineIndex)].rowCount);
        gridRow = std::max(1, before + inLine);
    }
    goToCell(d.sectionIndex, d.grid, gridRow, d.gridColumn);
}

void ReviewCommands::takeTheirs(const QList<int>& indexes) {
    std::vector<zqw::CardDifference> chosen;
    for (const int i : indexes) {
        if (i >= 0 && i < static_cast<int>(differences_.size()))
            chosen.push_back(differences_[static_cast<size_t>(i)]);
    }
    view_.storePendingEdits();
    zqw::Card& card = document_.card();
    if (document_.recordChange(QStringLiteral("Take theirs"),
                               [&] { return zqw::takeTheirs(card, chosen) > 0; })) {
        view_.showRestoredAnswers();
    }
    refreshDifferences();
}

// --- check ------------------------------------------------------------------

std::vector<zqw::CheckFinding> ReviewCommands::runChecks() {
    view_.storePendingEdits();
    const zqw::Card& card = document_.card();
    zqw::CheckInputs inputs;
    inputs.notes = notesParagraphs();
    for (const QString& line : notes_.toPlainText().split(QLatin1Char('\n')))
        inputs.notesUtf8.push_back(line.toStdString());
    inputs.linkedNotes = card.notesFileName;
    inputs.notesFound =
        card.notesFileName.empty() ||
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(card.notesFileName))).isFile();
    inputs.printed = printedCellFindings(card, settings_.printLayout(), printFonts(settings_));
    // A package holds the files as saved; a card never saved makes none.
    // Packages are made by the output module, loaded here if need be.
    if (!document_.isUnnamed()) {
        if (OutputParts* parts = output_.parts())
            inputs.packageBytes = parts->measurePackage(parts->packageContentsOf(card));
    }
    return zqw::checkCard(card, inputs);
}

void ReviewCommands::checkCard() {
    if (!document_.isOpen()) return;
    showFindings(runChecks());
}

void ReviewCommands::showFindings(std::vector<zqw::CheckFinding> findings) {
    findings_ = std::move(findings);
    QList<FindingRow> rows;
    for (const zqw::CheckFinding& f : findings_) {
        rows.append({f.severity == zqw::CheckFinding::Severity::Error, unicodeText(f.what),
                     f.place == zqw::CheckFinding::Place::NotesFile ? fromMessageText(f.where)
                                                                    : unicodeText(f.where)});
    }
    CheckWindow& window = checkWindow();
    window.showFindings(rows);
    showRaised(window);
}

bool ReviewCommands::checkBeforeSending() {
    // A card never saved is in no package: Produce refuses it, and what
    // E-mail sends is some other card.
    if (!document_.isOpen() || document_.isUnnamed()) return true;
    std::vector<zqw::CheckFinding> findings = runChecks();
    if (!zqw::hasErrors(findings)) return true;
    const UserDialogs::Answer answer = dialogs_.question(
        QStringLiteral("The check of the card found errors. Do you wish to see them first?"), true);
    if (answer == UserDialogs::Answer::No) return true;
    if (answer == UserDialogs::Answer::Yes) showFindings(std::move(findings));
    return false;
}

void ReviewCommands::goToFinding(int index) {
    if (index < 0 || index >= static_cast<int>(findings_.size())) return;
    const zqw::CheckFinding& f = findings_[static_cast<size_t>(index)];
    if (f.place == zqw::CheckFinding::Place::Cell) {
        goToCell(f.section, f.grid, f.gridRow, f.gridColumn);
    } else if (f.place == zqw::CheckFinding::Place::NotesLine) {
        goToNotesParagraph(f.notesParagraph);
    }
}

// --- going to a place -------------------------------------------------------

void ReviewCommands::goToCell(int section, int grid, int gridRow, int gridColumn) {
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return;
    const int group = card.sections[static_cast<size_t>(section)].groupIndex;
    if (group < 0 || group >= static_cast<int>(card.groups.size())) return;
    ReturnPosition position;
    position.group = group;
    position.section = section - card.groups[static_cast<size_t>(group)].firstSection;
    position.grid = grid;
    position.row = gridRow;
    position.column = gridColumn;
    view_.setReturnPosition(position);
    view_.returnToCard();
    view_.window()->activateWindow();
}

void ReviewCommands::goToNotesParagraph(int paragraph) {
    view_.showNotesGroup();
    const QTextBlock block =
        notes_.document()->findBlockByNumber(std::max(0, zqw::blockOfNotesLine(paragraph)));
    if (block.isValid()) notes_.setTextCursor(QTextCursor(block));
    notes_.centerCursor();
    view_.window()->activateWindow();
    notes_.setFocus();
}

// --- web page ---------------------------------------------------------------

void ReviewCommands::exportWebPage() {
    if (!document_.isOpen()) return;
    view_.storePendingEdits();
    QString suggested;
    if (!document_.isUnnamed()) {
        const QFileInfo card(document_.fileName());
        suggested = card.dir().filePath(card.completeBaseName() + QStringLiteral(".html"));
    }
    const std::optional<QString> path = dialogs_.saveFile(
        UserDialogs::FileRequest::of(kWebPageFilter, QStringLiteral("html"), suggested));
    if (!path) return;
    std::vector<zqw::ReplacedCharacter> replaced;
    const std::vector<std::string> notes = notesParagraphs(&replaced);
    const std::string html = zqw::cardHtml(
        document_.card(), notes, CardPagePainter::title().toStdString(), settings_.suitChars());
    std::string why;
    if (!zqw::writeCardHtml(localPath(*path), html, &why)) {
        dialogs_.message(QStringLiteral("Unable to write to the file ") + *path +
                         (why.empty() ? QString() : QStringLiteral(": ") + fromMessageText(why)));
        return;
    }
    // The page carries the notes as their file would hold them.
    if (!replaced.empty())
        dialogs_.message(replacementNote(replaced, QStringLiteral("a notes file")));
}
