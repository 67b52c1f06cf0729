#include "commands/notescommands.h"

#include <QAction>

#include "card/notesformat.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "dialogs/notenumberdialog.h"
#include "dialogs/userdialogs.h"
#include "dialogs/widgettext.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");
const QString kSaveNotesQuestion = QStringLiteral("Do you wish to save the current notes file");

QString cardCharacter(unsigned char byte) { return QString(fromCardByte(static_cast<char>(byte))); }

}  // namespace

NotesCommands::NotesCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      settings_(context.settings),
      dialogs_(context.dialogs),
      menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    constexpr auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    context.menu.add(*this, QStringLiteral("newNotes"), QStringLiteral("&New"),
                     key(ctrlShift | Qt::Key_N), update, [this] { newNotes(); });
    context.menu.add(*this, QStringLiteral("openNotes"), QStringLiteral("&Load"),
                     key(ctrlShift | Qt::Key_L), update, [this] { openNotes(); });
    context.menu.add(*this, QStringLiteral("saveNotes"), QStringLiteral("&Save"),
                     key(ctrlShift | Qt::Key_S), update, [this] { saveNotes(); });
    context.menu.add(*this, QStringLiteral("saveNotesAs"), QStringLiteral("Save &As"),
                     key(ctrlShift | Qt::Key_A), update, [this] { saveNotesAs(); });
    context.menu.add(*this, QStringLiteral("closeNotes"), QStringLiteral("Cl&ose"),
                     key(ctrlShift | Qt::Key_O), update, [this] { closeNotes(); });
    context.menu.add(*this, QStringLiteral("linkNotesToCard"), QStringLiteral("Lin&k to note file"),
                     key(Qt::ControlModifier | Qt::Key_K), update, [this] { linkNotesToCard(); });
    // In the Help menu, which decides nothing before its items run.
    context.menu.add(*this, QStringLiteral("attachNoteToCell"), QStringLiteral("&Notes"),
                     QKeySequence(Qt::Key_F3), {}, [this] { attachNoteToCell(); });
}

NotesCommands::~NotesCommands() = default;

NoteNumberDialog& NotesCommands::noteNumberDialog() {
    if (!noteNumberDialog_) noteNumberDialog_ = std::make_unique<NoteNumberDialog>(&view_);
    return *noteNumberDialog_;
}

void NotesCommands::updateActions() {
    view_.storePendingEdits();
    for (const char* name : {"saveNotes", "saveNotesAs", "closeNotes", "linkNotesToCard"})
        MenuActions::setItemEnabled(menu_.find(QLatin1String(name)), document_.notesOpen());
}

std::optional<QString> NotesCommands::askSaveName() {
    return dialogs_.saveFile(UserDialogs::FileRequest::of(kNotesFilter, QStringLiteral("txt")));
}

bool NotesCommands::confirmStorable() {
    const QStringList characters = notes_.unstorableCharacters(5);
    if (characters.isEmpty()) return true;
    return dialogs_.question(
               QStringLiteral("The notes hold characters a notes file cannot store (") +
                   characters.join(QStringLiteral(" ")) +
                   QStringLiteral("); they would be saved as \"?\". Save anyway?"),
               false) == UserDialogs::Answer::Yes;
}

bool NotesCommands::saveAs(const QString& path) {
    if (!confirmStorable()) return false;
    // No to writing over another program's changes leaves the notes, and
    // their name, as they were.
    if (!document_.mayOverwrite(path)) return false;
    notes_.setFileName(path);
    if (document_.saveNotes(path)) return true;
    dialogs_.message(QStringLiteral("Cannot create file ") + path);
    return false;
}

NotesCommands::SaveOffer NotesCommands::offerToSave() {
    switch (dialogs_.question(kSaveNotesQuestion, true)) {
        case UserDialogs::Answer::Yes:
            break;
        case UserDialogs::Answer::No:
            return SaveOffer::Declined;
        case UserDialogs::Answer::Cancel:
            return SaveOffer::Stop;
    }
    std::optional<QString> path = notes_.fileName();
    if (path->isEmpty()) path = askSaveName();
    return path && saveAs(*path) ? SaveOffer::Saved : SaveOffer::Stop;
}

bool NotesCommands::newNotes() {
    if (notes_.isModified() && offerToSave() == SaveOffer::Stop) return false;
    notes_.startEmpty();
    view_.noteTabs().clear();
    document_.setNotesOpen(true);
    if (view_.notesShowing()) view_.rebuildGroup();
    notes_.setInputEnabled(true);
    return true;
}

void NotesCommands::openNotes() {
    if (notes_.isModified() && offerToSave() == SaveOffer::Stop) return;
    const std::optional<QString> path =
        dialogs_.openFile(UserDialogs::FileRequest::of(kNotesFilter, QStringLiteral("txt")));
    if (!path) return;
    // A file that cannot be read leaves the notes, and their name, as they
    // were, so that saving them cannot overwrite the file that failed.
    if (!document_.loadNotes(*path)) {
        // A file too large for the editor is there: say why it is refused.
        const std::string problem = zqw::notesFileProblem(path->toStdString());
        dialogs_.message(problem.empty()
                             ? QStringLiteral("Cannot open file ") + *path
                             : QStringLiteral("Unable to load the notes file ") + *path +
                                   QStringLiteral(": ") + QString::fromStdString(problem));
        return;
    }
    SearchOptions wholeText;
    wholeText.global = true;
    notes_.replaceAll(cardCharacter(0x8E), cardCharacter(0x81), wholeText);
    notes_.moveCursor(QTextCursor::Start);
    view_.noteTabs().clear();
    document_.setNotesOpen(true);
    if (view_.notesShowing()) view_.rebuildGroup();
    notes_.setInputEnabled(true);
}

void NotesCommands::saveNotes() {
    if (!notes_.isModified()) return;
    if (!notes_.fileName().isEmpty()) {
        saveAs(notes_.fileName());
        return;
    }
    const std::optional<QString> path = askSaveName();
    if (path && saveAs(*path)) view_.showNotesCaption(true);
}

void NotesCommands::saveNotesAs() {
    const std::optional<QString> path = askSaveName();
    if (path && saveAs(*path)) view_.showNotesCaption(true);
}

void NotesCommands::closeNotes() {
    if (notes_.isModified() && offerToSave() == SaveOffer::Stop) return;
    document_.setNotesOpen(false);
    notes_.startEmpty();
    view_.showNotesCaption(false);
    notes_.setInputEnabled(false);
}

void NotesCommands::linkNotesToCard() {
    if (notes_.fileName().isEmpty()) {
        const std::optional<QString> path = askSaveName();
        if (!path) {
            dialogs_.message(QStringLiteral("Note file not linked to current card"));
            return;
        }
        if (!saveAs(*path)) return;
        document_.markNotesNamedForLink();
        // The notes have a name now; the caption line should say so.
        view_.showNotesCaption(true);
    }
    const QString notesFile = notes_.fileName();
    if (document_.linkedNotesFile() != notesFile) {
        if (dialogs_.question(QStringLiteral("Link the current notes file to the current card"),
                              false) == UserDialogs::Answer::Yes)
            document_.linkNotes(notesFile);
    } else {
        dialogs_.message(QStringLiteral("Notes file already linked to current card"));
    }
}

void NotesCommands::attachNoteToCell() {
    zqw::Card& card = document_.card();
    if (!document_.isOpen() || card.isNotesGroup(view_.activeGroup())) return;
    const int section = card.sectionIndexOf(view_.activeGroup(), view_.activeSectionTab());
    if (section < 0) return;
    const zqw::Section& form = card.sections[static_cast<size_t>(section)];
    // The grid that last had the focus may belong to a section shown before;
    // the note goes to a grid this section has.
    int gridNumber = view_.activeGrid() == 2 ? 2 : 1;
    if (gridNumber == 2 && !form.hasGrid2) gridNumber = 1;
    if (gridNumber == 1 && form.columnCount == 0) gridNumber = 2;
    if (gridNumber == 2 && !form.hasGrid2) return;
    CardGrid& grid = view_.grid(gridNumber);
    const int row = grid.activeRow();
    const int column = grid.activeColumn();
    if (row < 1) return;

    const zqw::RowRef found = card.findGridRow(section, gridNumber, row);
    if (!found) return;
    NoteNumberDialog& dialog = noteNumberDialog();
    dialog.setNoteNumber(card.rows[static_cast<size_t>(found.row)].noteNo);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;

    // Found again: the dialog is modal, but the row is looked up afresh
    // rather than trusted across it.
    const zqw::RowRef again = card.findGridRow(section, gridNumber, row);
    if (!again) return;
    const int note = dialog.noteNumber();
    document_.changeRow(QStringLiteral("Note number"), again.row,
                        card.rows[static_cast<size_t>(again.row)].text, note);
    if (note == 0) return;

    view_.setReturnPosition(
        {gridNumber, row, column, view_.activeGroup(), view_.activeSectionTab()});
    NoteTabs& tabs = view_.noteTabs();
    if (settings_.noteTabs()) {
        const int existing = tabs.indexOfNote(note);
        if (existing >= 0) {
            tabs.setActiveTab(existing);
            view_.showNotesGroup();
            return;
        }
        tabs.addNoteTab(note);
        NoteTabs::findOrAppendNoteHeading(notes_, note);
        tabs.storeCaret(notes_);
    } else {
        NoteTabs::findOrAppendNoteHeading(notes_, note);
    }
    view_.showNotesGroup();
}
