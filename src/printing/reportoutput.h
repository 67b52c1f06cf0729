#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "card/cardprintplan.h"
#include "document/editorsettings.h"
#include "render/displayfontsettings.h"
#include "render/reportarchive.h"

class PagedReport;
class QDialog;
class QWidget;
class ReportPreviewWindow;
class UserDialogs;

// The ways a printout leaves the print windows: to a printer through the
// print dialog, or to a PDF file. Every failure is shown to the user.

// Lays the report out at the resolution the files are written at. False,
// after telling the user, when there is nothing to print.
bool layOutForOutput(PagedReport& report, UserDialogs& dialogs);

// The print dialog for the report, then the printer. The dialog offers no
// printing to a file ("Print to file" does that) and no page range (the
// window's own page choice does that).
void printWithDialog(PagedReport& report, UserDialogs& dialogs, QWidget* parent);

// Asks for a PDF file name and writes the report there. Nothing is written
// when the dialog is cancelled.
void printToPdfFile(PagedReport& report, UserDialogs& dialogs);

// The card printout kept as an archive, with the template the editor read
// the card with (zqw.sel in the card's program folder). nullopt, after
// telling the user why, when it cannot be kept.
std::optional<ReportArchive> cardArchive(const zqw::Card& card, const EditorSettings& settings,
                                         zqw::CardPages pages, UserDialogs& dialogs);

// A report archive the user chose, and its file's name without folders.
struct ChosenArchive {
    QString fileName;
    ReportArchive pages;
};

// Asks for a report archive file and reads it; nullopt when the dialog is
// cancelled or, after telling the user why, when the file cannot be shown.
std::optional<ChosenArchive> chooseArchive(UserDialogs& dialogs, const QString& filter);

// "View archive": the archive the user chooses, shown in view (made on first
// use, beside the print window's parent).
void showChosenArchive(std::unique_ptr<ReportPreviewWindow>& view, UserDialogs& dialogs,
                       QWidget* parent, const QString& filter);

// What the buttons beside a print window's choices run, top to bottom. The
// two windows spell their preview button differently.
struct PrintButtons {
    QString previewCaption;
    std::function<void()> preview;
    std::function<void()> print;
    std::function<void()> printToFile;
    std::function<void()> viewArchive;
};

// A print window's layout: its choices on the left, the buttons (Cancel
// rejects the window) on the right, and wide enough for its whole caption.
void layOutPrintWindow(QDialog& window, QWidget& choices, const PrintButtons& buttons);

// The save dialog's filter for PDF files.
const QString& pdfFileFilter();
