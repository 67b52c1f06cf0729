#pragma once

#include <QString>
#include <optional>

#include "render/displayfontsettings.h"
#include "render/reportarchive.h"

class EditorSettings;
class PagedReport;
class QWidget;
class UserDialogs;

// The ways a printout leaves the print windows: to a printer through the
// print dialog, or to a PDF file. Every failure is shown to the user.

// The display font, notes font size and suit characters the printouts use,
// as the editor's settings hold them now.
DisplayFontSettings printFonts(const EditorSettings& settings);

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

// A report archive the user chose, and its file's name without folders.
struct ChosenArchive {
    QString fileName;
    ReportArchive pages;
};

// Asks for a report archive file and reads it; nullopt when the dialog is
// cancelled or, after telling the user why, when the file cannot be shown.
std::optional<ChosenArchive> chooseArchive(UserDialogs& dialogs, const QString& filter);

// The save dialog's filter for PDF files.
const QString& pdfFileFilter();
