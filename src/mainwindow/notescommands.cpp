// The Notes menu, and F3, which attaches a note number to the active cell.

#include <QFileInfo>

#include "card/cp1252.h"
#include "files/tgetnote.h"
#include "mainwindow/appwindows.h"
#include "mainwindow/truvcce.h"

namespace {

const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");
const QString kSaveNotesQuestion = QStringLiteral("Do you wish to save the current notes file");

QString cardCharacter(unsigned char byte) {
    return QString(QChar(static_cast<char16_t>(zqw::cp1252ToUnicode(byte))));
}

}  // namespace

void TRUVCCE::NoteFile1Click() {
    storePendingEdits();
    for (const char* name : {"Save2", "SaveAs2", "Close2", "Print2", "Setnotefile1"}) {
        if (QAction* item = actionNamed(QString::fromLatin1(name)))
            setItemEnabled(item, card_.notesOpen);
    }
}

std::optional<QString> TRUVCCE::askNotesSaveName() {
    UserDialogs::FileRequest request;
    request.filter = kNotesFilter;
    request.defaultExtension = QStringLiteral("txt");
    return dialogs_.saveFile(request);
}

bool TRUVCCE::saveNotesAs(const QString& path) {
    TFE->setFileName(path);
    if (TFE->saveFile(path.toStdString())) return true;
    dialogs_.message(QStringLiteral("Cannot create file ") + path);
    return false;
}

bool TRUVCCE::offerToSaveNotes() {
    LastAnswer = dialogs_.question(kSaveNotesQuestion, true);
    if (LastAnswer == UserDialogs::Answer::Cancel) return false;
    if (LastAnswer == UserDialogs::Answer::No) return true;
    if (!TFE->fileName().isEmpty()) return saveNotesAs(TFE->fileName());
    const std::optional<QString> path = askNotesSaveName();
    return path && saveNotesAs(*path);
}

void TRUVCCE::showNotesFileCaption() {
    if (notesGroupShowing())
        Label1->setText(QStringLiteral("Notes file: ") + QFileInfo(TFE->fileName()).fileName());
}

void TRUVCCE::showNotesGroup() { selectTopTab(static_cast<int>(card_.groups.size()) - 1); }

void TRUVCCE::New3Click() {
    if (TFE->isModified() && !offerToSaveNotes()) return;
    TFE->startEmpty();
    noteTabs_.clear();
    card_.notesOpen = true;
    if (notesGroupShowing()) {
        showNotesFileCaption();
        NB1PageChanged();
    }
    TFE->setInputEnabled(true);
}

void TRUVCCE::load2Click() {
    if (TFE->isModified() && !offerToSaveNotes()) return;
    LoadNoteFile();
}

void TRUVCCE::LoadNoteFile() {
    UserDialogs::FileRequest request;
    request.filter = kNotesFilter;
    request.defaultExtension = QStringLiteral("txt");
    const std::optional<QString> path = dialogs_.openFile(request);
    if (!path) return;
    // A file that cannot be read leaves the notes, and their name, as they
    // were, so that saving them cannot overwrite the file that failed.
    if (!TFE->loadFile(path->toStdString())) {
        dialogs_.message(QStringLiteral("Cannot open file ") + *path);
        return;
    }
    SearchOptions wholeText;
    wholeText.global = true;
    TFE->replaceAll(cardCharacter(0x8E), cardCharacter(0x81), wholeText);
    TFE->moveCursor(QTextCursor::Start);
    noteTabs_.clear();
    if (notesGroupShowing()) NB1PageChanged();
    showNotesFileCaption();
    TFE->setInputEnabled(true);
    card_.notesOpen = true;
}

void TRUVCCE::Save2Click() {
    if (!TFE->isModified()) return;
    if (!TFE->fileName().isEmpty()) {
        saveNotesAs(TFE->fileName());
        return;
    }
    const std::optional<QString> path = askNotesSaveName();
    if (path && saveNotesAs(*path)) showNotesFileCaption();
}

void TRUVCCE::SaveAs2Click() {
    const std::optional<QString> path = askNotesSaveName();
    if (path && saveNotesAs(*path)) showNotesFileCaption();
}

void TRUVCCE::Close2Click() {
    if (TFE->isModified() && !offerToSaveNotes()) return;
    card_.notesOpen = false;
    TFE->startEmpty();
    if (notesGroupShowing()) Label1->setText(QStringLiteral("Notes file closed"));
    TFE->setInputEnabled(false);
}

void TRUVCCE::Setnotefile1Click() {
    if (TFE->fileName().isEmpty()) {
        const std::optional<QString> path = askNotesSaveName();
        if (!path) {
            dialogs_.message(QStringLiteral("Note file not linked to current card"));
            return;
        }
        if (!saveNotesAs(*path)) return;
        card_.isModified = true;
        // The notes have a name now; the caption line should say so.
        showNotesFileCaption();
    }
    const QString notesFile = TFE->fileName();
    if (QString::fromStdString(card_.notesFileName) != notesFile) {
        LastAnswer = dialogs_.question(
            QStringLiteral("Link the current notes file to the current card"), false);
        if (LastAnswer == UserDialogs::Answer::Yes) {
            card_.notesFileName = notesFile.toStdString();
            card_.notesOpen = true;
            card_.isModified = true;
        }
    } else {
        dialogs_.message(QStringLiteral("Notes file already linked to current card"));
    }
}

void TRUVCCE::Notes1Click() {
    if (card_.isNotesGroup(ActiveGroup) || !windows_) return;
    const int section = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    if (section < 0) return;
    const zqw::Section& form = card_.sections[static_cast<size_t>(section)];
    // The grid that last had the focus may belong to a section shown before;
    // the note goes to a grid this section has.
    int gridNumber = ActiveGrid == 2 ? 2 : 1;
    if (gridNumber == 2 && !form.hasGrid2) gridNumber = 1;
    if (gridNumber == 1 && form.columnCount == 0) gridNumber = 2;
    if (gridNumber == 2 && !form.hasGrid2) return;
    CardGrid& view = grid(gridNumber);
    const int row = view.activeRow();
    const int column = view.activeColumn();
    if (row < 1) return;
    const int firstLine = gridNumber == 1 ? form.firstLine : form.firstLine2;

    const int rowIndex = card_.findRow(section, firstLine, row).row;
    if (rowIndex <= 0) return;
    Tgetnote& dialog = windows_->getNote();
    dialog.setNoteNumber(card_.rows[static_cast<size_t>(rowIndex)].noteNo);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;

    // Found again: the dialog is modal, but the row is looked up afresh
    // rather than trusted across it.
    const int again = card_.findRow(section, firstLine, row).row;
    if (again <= 0) return;
    const int note = dialog.noteNumber();
    card_.rows[static_cast<size_t>(again)].noteNo = note;
    card_.isModified = true;
    if (note == 0) return;

    NoteReturnPosition = {gridNumber, row, column, ActiveGroup, ActiveSectionTab};
    if (noteTabsItem_->isChecked()) {
        const int existing = noteTabs_.indexOfNote(note);
        if (existing >= 0) {
            noteTabs_.ActiveNoteTab = existing;
            showNotesGroup();
            return;
        }
        noteTabs_.AddNoteTab(note);
        NoteTabs::FindOrAppendNoteHeading(*TFE, note);
        noteTabs_.storeCaret(*TFE);
    } else {
        NoteTabs::FindOrAppendNoteHeading(*TFE, note);
    }
    showNotesGroup();
}
