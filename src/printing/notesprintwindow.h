#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/notesprintplan.h"
#include "render/displayfontsettings.h"
#include "render/notespagepainter.h"

class EditorSettings;
class QPlainTextEdit;
class QRadioButton;
class ReportPreviewWindow;
class UserDialogs;

// "Print notes file": a small window that stays above the editor and
// prints the notes, all of them or only the selected text, to the preview,
// a printer or a PDF file; or shows a report archive kept earlier.
//
// The notes are read from the editor at every run, so edits made while the
// window is open print the next time.
class NotesPrintWindow : public QDialog {
    Q_OBJECT

public:
    // notesFileName gives the notes' file name at the time of a run.
    NotesPrintWindow(const zqw::Card& card, const QPlainTextEdit& notes,
                     std::function<QString()> notesFileName, const EditorSettings& settings,
                     UserDialogs& dialogs, QWidget* parent = nullptr);
    ~NotesPrintWindow() override;

    // Takes the card texts the title names, then shows the window above
    // the editor without making it modal.
    void showWindow();

    // Whether "Selected text" is chosen.
    bool selectedTextOnly() const;

    // "Preview print", "Print", "Print to file", "View archive".
    void previewNotes();
    void printNotes();
    void printNotesToFile();
    void viewArchive();

private:
    // "Selected text" needs a selection; without one, "All pages" is chosen
    // again.
    void selectionChoiceChanged();
    // The editor's selection, in the editor's lines and columns.
    std::optional<zqw::NotesSelection> selection() const;
    // The notes and their file's name as the printout takes them: card
    // text, as the notes file holds it.
    std::vector<std::string> lines() const;
    std::string printedFileName() const;
    // The selection a run prints: none for "All pages", or when "Selected
    // text" has lost its selection (which chooses "All pages" again).
    std::optional<zqw::NotesSelection> chosenSelection();
    // The printout of a run: the lines and the selection as they are now.
    NotesPagePainter makeReport();
    // The paper the print windows last used, A4 when it is not known.
    QPageSize paper() const;
    ReportPreviewWindow& preview();

    const zqw::Card& card_;
    const QPlainTextEdit& notes_;
    std::function<QString()> notesFileName_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    zqw::NotesTitleTexts titleTexts_;
    // The fonts of the current run; a printout refers to them.
    DisplayFontSettings fonts_;
    QRadioButton* allPages_ = nullptr;
    QRadioButton* selectedText_ = nullptr;
    // Made on first use: a preview reaches the printing system.
    std::unique_ptr<ReportPreviewWindow> preview_;
    std::unique_ptr<ReportPreviewWindow> archiveView_;
};
