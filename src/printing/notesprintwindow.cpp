#include "printing/notesprintwindow.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "card/cardindex.h"
#include "dialogs/userdialogs.h"
#include "dialogs/widgettext.h"
#include "document/editorsettings.h"
#include "printing/reportoutput.h"
#include "printing/reportpreviewwindow.h"

NotesPrintWindow::NotesPrintWindow(const zqw::Card& card, const QPlainTextEdit& notes,
                                   std::function<QString()> notesFileName,
                                   const EditorSettings& settings, UserDialogs& dialogs,
                                   QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      card_(card),
      notes_(notes),
      notesFileName_(std::move(notesFileName)),
      settings_(settings),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("notesPrintWindow"));
    setWindowTitle(QStringLiteral("Print notes file"));
    setModal(false);

    auto* choice = new QGroupBox(QStringLiteral("Print choice"), this);
    choice->setObjectName(QStringLiteral("printChoice"));
    auto* choices = new QVBoxLayout(choice);
    allPages_ = new QRadioButton(QStringLiteral("All pages"), choice);
    allPages_->setObjectName(QStringLiteral("allPages"));
    selectedText_ = new QRadioButton(QStringLiteral("Selected text"), choice);
    selectedText_->setObjectName(QStringLiteral("selectedText"));
    choices->addWidget(allPages_);
    choices->addWidget(selectedText_);
    allPages_->setChecked(true);
    connect(selectedText_, &QRadioButton::toggled, this, &NotesPrintWindow::selectionChoiceChanged);

    layOutPrintWindow(
        *this, *choice,
        {QStringLiteral("Preview print"), [this] { previewNotes(); }, [this] { printNotes(); },
         [this] { printNotesToFile(); }, [this] { viewArchive(); }});
}

NotesPrintWindow::~NotesPrintWindow() = default;

void NotesPrintWindow::showWindow() {
    titleTexts_ = zqw::notesTitleTexts(card_, settings_.suitChars());
    show();
    raise();
    activateWindow();
}

bool NotesPrintWindow::selectedTextOnly() const { return selectedText_->isChecked(); }

void NotesPrintWindow::previewNotes() {
    // The preview keeps the lines and settings as they are now, so what it
    // prints or keeps as an archive is what it shows.
    ReportArchive::NotesPrintout printout;
    printout.selection = chosenSelection();
    printout.lines = lines();
    printout.notesFileName = printedFileName();
    printout.titleTexts = titleTexts_;
    printout.paper = paper();
    printout.printDate = QDate::currentDate();
    QString error;
    std::optional<ReportArchive> report = ReportArchive::ofNotes(
        std::move(printout), settings_.printLayout(), printFonts(settings_), &error);
    if (!report) {
        dialogs_.message(error);
        return;
    }
    if (!layOutForOutput(*report, dialogs_)) return;
    ReportPreviewWindow& window = preview();
    window.setPages(std::move(*report));
    window.show();
    window.raise();
    window.activateWindow();
}

void NotesPrintWindow::printNotes() {
    NotesPagePainter report = makeReport();
    if (layOutForOutput(report, dialogs_)) printWithDialog(report, dialogs_, this);
}

void NotesPrintWindow::printNotesToFile() {
    NotesPagePainter report = makeReport();
    if (layOutForOutput(report, dialogs_)) printToPdfFile(report, dialogs_);
}

void NotesPrintWindow::viewArchive() {
    // Any file may be chosen here: the archive tells for itself whether it
    // is one.
    showChosenArchive(archiveView_, dialogs_, parentWidget(), QString());
}

void NotesPrintWindow::selectionChoiceChanged() {
    if (selectedText_->isChecked() && !selection()) allPages_->setChecked(true);
}

std::optional<zqw::NotesSelection> NotesPrintWindow::selection() const {
    const QTextCursor cursor = notes_.textCursor();
    if (!cursor.hasSelection()) return std::nullopt;
    const QTextDocument& text = *notes_.document();
    const QTextBlock first = text.findBlock(cursor.selectionStart());
    const QTextBlock last = text.findBlock(cursor.selectionEnd());
    return zqw::NotesSelection{
        zqw::notesLineOfBlock(first.blockNumber()), cursor.selectionStart() - first.position(),
        zqw::notesLineOfBlock(last.blockNumber()), cursor.selectionEnd() - last.position()};
}

std::vector<std::string> NotesPrintWindow::lines() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(notes_.document()->blockCount()));
    for (QTextBlock block = notes_.document()->begin(); block.isValid(); block = block.next())
        lines.push_back(enterCardText(block.text(), settings_.suitChars()).bytes);
    return lines;
}

std::string NotesPrintWindow::printedFileName() const {
    // Only shown in the title: a character the printout cannot draw becomes
    // what it would in the notes.
    return enterCardText(notesFileName_(), settings_.suitChars()).bytes;
}

std::optional<zqw::NotesSelection> NotesPrintWindow::chosenSelection() {
    // The selection is read afresh for every run; when it has gone since
    // "Selected text" was chosen, the whole notes print.
    if (!selectedTextOnly()) return std::nullopt;
    std::optional<zqw::NotesSelection> part = selection();
    if (!part) allPages_->setChecked(true);
    return part;
}

NotesPagePainter NotesPrintWindow::makeReport() {
    const std::optional<zqw::NotesSelection> part = chosenSelection();
    fonts_ = printFonts(settings_);
    NotesPagePainter report(lines(), printedFileName(), titleTexts_, settings_.printLayout(),
                            fonts_, paper());
    report.setSelection(part);
    return report;
}

QPageSize NotesPrintWindow::paper() const {
    const PrintLayoutSettings& layout = settings_.printLayout();
    const int index = layout.paperIndex(settings_.notesPaperName());
    return index >= 0 ? layout.paperSizes()[index] : QPageSize(QPageSize::A4);
}

ReportPreviewWindow& NotesPrintWindow::preview() {
    if (!preview_) preview_ = std::make_unique<ReportPreviewWindow>(dialogs_, parentWidget());
    return *preview_;
}
