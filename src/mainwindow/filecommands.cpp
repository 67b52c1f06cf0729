// The File menu: New, Open (cards and packages), Save, Save As, Close, Exit,
// and the question asked before the window closes.

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

#include "card/zqwpackage.h"
#include "mainwindow/truvcce.h"

namespace {

const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kCardOrPackageFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kSaveCardQuestion = QStringLiteral("Do you wish to save the current file");
const QString kLinkOnCloseQuestion =
    QStringLiteral("Do you wish to link the current notes file to the current card");

bool isUnnamed(const zqw::Card& card) { return card.cardFileName == zqw::kUnnamedFile; }

}  // namespace

void TRUVCCE::MenFileClick() {
    storePendingEdits();
    for (const char* name : {"Save1", "SaveAs1", "Close1", "Print1"}) {
        if (QAction* item = actionNamed(QString::fromLatin1(name)))
            setItemEnabled(item, card_.isOpen);
    }
}

void TRUVCCE::setCardCaption() {
    setWindowTitle(QStringLiteral("ZQW Convention card editor: ") +
                   QString::fromStdString(card_.cardFileName));
}

void TRUVCCE::dropCellEdits() {
    for (CardGrid* view : {OvcTable1, OvcTable2}) {
        if (view->isEditing()) view->stopEditing(false);
    }
}

void TRUVCCE::showFirstGroup() {
    NB1->update();
    if (NB1->currentIndex() != 0 && NB1->count() > 0) {
        selectTopTab(0);
    } else {
        // Already on the first group: rebuild it for the new card.
        NB1PageChange();
        NB1PageChanged();
    }
    OvcTable1->gridModel().refresh();
    OvcTable2->gridModel().refresh();
}

std::optional<QString> TRUVCCE::askCardSaveName() {
    UserDialogs::FileRequest request;
    request.filter = kCardFilter;
    request.defaultExtension = QStringLiteral("ccf");
    return dialogs_.saveFile(request);
}

// Writes the card under a new name. A write that fails leaves the card under
// its old name: the new one names no card, and the next save is to ask again.
bool TRUVCCE::writeCardAs(const QString& path) {
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    if (card_.writeCardFile()) return true;
    card_.cardFileName = previous;
    return false;
}

TRUVCCE::SaveResult TRUVCCE::saveCardUnderName() {
    if (!isUnnamed(card_)) return card_.writeCardFile() ? SaveResult::Saved : SaveResult::Failed;
    const std::optional<QString> path = askCardSaveName();
    if (!path) return SaveResult::Cancelled;
    return writeCardAs(*path) ? SaveResult::Saved : SaveResult::Failed;
}

void TRUVCCE::New1Click() {
    if (TFE->isModified()) card_.isModified = true;
    if (card_.isOpen && card_.isModified) {
        LastAnswer = dialogs_.question(kSaveCardQuestion, true);
        if (LastAnswer == UserDialogs::Answer::Yes) {
            // A card that was not written stays, as it would after Cancel in
            // the dialog: a blank card in its place would lose it.
            if (saveCardUnderName() != SaveResult::Saved) return;
            dropCellEdits();
            card_.resetToBlankCard();
        } else if (LastAnswer == UserDialogs::Answer::No) {
            dropCellEdits();
            card_.resetToBlankCard();
        }
    } else {
        dropCellEdits();
        card_.resetToBlankCard();
    }
    showFirstGroup();
    setCardCaption();
}

void TRUVCCE::LOad1Click() {
    if (TFE->isModified()) card_.isModified = true;
    if (card_.isOpen && card_.isModified) {
        switch (dialogs_.question(kSaveCardQuestion, true)) {
            case UserDialogs::Answer::Yes:
                if (saveCardUnderName() != SaveResult::Saved) return;
                break;
            case UserDialogs::Answer::No:
                break;
            case UserDialogs::Answer::Cancel:
                return;
        }
    }
    OpenFile();
}

void TRUVCCE::OpenFile() {
    UserDialogs::FileRequest request;
    request.filter = kCardOrPackageFilter;
    request.defaultExtension = QStringLiteral("ccf");
    const std::optional<QString> path = dialogs_.openFile(request);
    if (!path) return;
    openCardOrPackage(*path);
}

void TRUVCCE::openCardOrPackage(const QString& path) {
    QString cardPath = path;
    // A package named in capital letters is still a package; read as a card
    // it could only be rejected.
    if (QFileInfo(path).suffix().compare(QStringLiteral("zqw"), Qt::CaseInsensitive) == 0) {
        const std::optional<QString> extracted = extractPackage(path);
        if (!extracted) return;
        cardPath = *extracted;
    }
    dropCellEdits();
    card_.cardFileName = cardPath.toStdString();
    card_.readCardFile();
    showFirstGroup();
    setCardCaption();
}

std::optional<QString> TRUVCCE::extractPackage(const QString& packagePath) {
    const std::optional<QString> folder = dialogs_.chooseFolder(
        QStringLiteral("Select directory for CCF file"), QFileInfo(packagePath).absolutePath());
    if (!folder) return std::nullopt;

    zqw::PackageReader package(packagePath.toStdString());
    if (!package.isOpen()) {
        dialogs_.message(QStringLiteral("Unable to open the ZQW file ") + packagePath +
                         QStringLiteral(": ") + QString::fromStdString(package.error()));
        return std::nullopt;
    }
    // Folder entries name no file; an archive of nothing else holds no card.
    const int first = package.firstFileEntry();
    if (first < 0) {
        dialogs_.message(QStringLiteral("No .ccf files enclosed"));
        return std::nullopt;
    }
    const std::string target = QDir::cleanPath(*folder).toStdString();
    if (!package.extractMatching(target, "*.ccf") || !package.extractMatching(target, "*.txt")) {
        dialogs_.message(QStringLiteral("Unable to extract the ZQW file ") + packagePath +
                         QStringLiteral(": ") + QString::fromStdString(package.error()));
        return std::nullopt;
    }
    const std::string bare =
        zqw::packageEntryBareName(package.storedNames()[static_cast<size_t>(first)]);
    return QString::fromStdString(target + "/" + bare);
}

void TRUVCCE::Save1Click() {
    if (TFE->isModified()) card_.isModified = true;
    if (!card_.isOpen || !card_.isModified) return;
    const bool unnamed = isUnnamed(card_);
    if (saveCardUnderName() == SaveResult::Saved && unnamed) setCardCaption();
}

void TRUVCCE::SaveAs1Click() {
    if (!card_.isOpen) return;
    const std::optional<QString> path = askCardSaveName();
    if (path && writeCardAs(*path)) setCardCaption();
}

void TRUVCCE::Close1Click() {
    if (card_.isOpen && card_.isModified) {
        LastAnswer = dialogs_.question(kSaveCardQuestion, true);
        if (LastAnswer == UserDialogs::Answer::Cancel) return;
        if (LastAnswer == UserDialogs::Answer::Yes && saveCardUnderName() != SaveResult::Saved)
            return;
    }
    card_.resetToNoCard();
}

void TRUVCCE::Exit1Click() { close(); }

bool TRUVCCE::FormCloseQuery() {
    storePendingEdits();
    if (TFE->isModified() && !offerToSaveNotes()) return false;
    if (!TFE->fileName().isEmpty() && card_.notesFileName.empty()) {
        if (dialogs_.question(kLinkOnCloseQuestion, false) == UserDialogs::Answer::Yes) {
            card_.notesFileName = TFE->fileName().toStdString();
            card_.notesOpen = true;
            card_.isModified = true;
        }
    }
    if (card_.isOpen && card_.isModified) {
        LastAnswer = dialogs_.question(kSaveCardQuestion, true);
        switch (LastAnswer) {
            case UserDialogs::Answer::Yes:
                return saveCardUnderName() == SaveResult::Saved;
            case UserDialogs::Answer::Cancel:
                return false;
            case UserDialogs::Answer::No:
                return true;
        }
    }
    return true;
}

void TRUVCCE::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}
