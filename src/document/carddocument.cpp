#include "document/carddocument.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include "card/dosimport.h"
#include "document/cardchanges.h"
#include "document/cardtext.h"
#include "platform/privatefiles.h"
#include "platform/profilestore.h"

namespace {

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Pairs are remembered with every link resolved, so that another way of
// writing the same card's path finds them.
QString canonicalFile(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

// The locks of the editors that have a card open are named after the card's
// real path (every link resolved), beside the editors' other state: this
// prefix and one name per editor.
QString openLockPrefix(const QString& cardFile) {
    const QByteArray id = QCryptographicHash::hash(
        QFile::encodeName(QFileInfo(cardFile).canonicalFilePath()), QCryptographicHash::Sha256);
    return QStringLiteral("card-") + QString::fromLatin1(id.toHex().left(32)) + QLatin1Char('-');
}

// Enough steps to take back an evening's work without keeping every card
// state there ever was.
constexpr int kUndoSteps = 500;

}  // namespace

// The notes editor as reading and writing a card reaches it: each notes
// file read or written is remembered, and a card save that is to leave the
// notes file as it is writes nothing there.
class CardDocument::WatchedNotes : public zqw::NotesEditor {
public:
    WatchedNotes(zqw::NotesEditor& notes, FileFingerprints& fingerprints)
        : notes_(notes), fingerprints_(fingerprints) {}

    bool loadFile(const std::string& path) override {
        fingerprints_.rememberFromDisk(fromPath(path));
        if (notes_.loadFile(path)) return true;
        fingerprints_.forget(fromPath(path));
        return false;
    }
    bool saveFile(const std::string& path) override {
        if (leaveFile_) return true;
        if (!notes_.saveFile(path)) return false;
        fingerprints_.rememberFromDisk(fromPath(path));
        return true;
    }
    void startEmpty() override { notes_.startEmpty(); }

    // While set, saves leave every notes file as it is.
    void setLeaveFile(bool leave) { leaveFile_ = leave; }

private:
    zqw::NotesEditor& notes_;
    FileFingerprints& fingerprints_;
    bool leaveFile_ = false;
};

CardDocument::CardDocument(zqw::NotesEditor& notes, UserDialogs& dialogs, ProfileStore& profile)
    : dialogs_(dialogs),
      profile_(profile),
      notes_(std::make_unique<WatchedNotes>(notes, fingerprints_)),
      card_(*this, *notes_) {
    card_.setNotesLinkApproval(this);
    undo_.setUndoLimit(kUndoSteps);
    // The core's own flag, which its reads and line edits set, follows the
    // stack, so that the card alone tells what the editor tells.
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        card_.isModified = !clean;
        emit modifiedChanged(!clean);
    });
}

CardDocument::~CardDocument() = default;

void CardDocument::startHistory(bool changedWhenRead) {
    undo_.clear();
    undo_.setClean();
    if (changedWhenRead) undo_.resetClean();
    card_.isModified = isModified();
}

void CardDocument::markChanged() {
    undo_.resetClean();
    card_.isModified = true;
}

void CardDocument::markPendingEdit() { markChanged(); }

void CardDocument::markNotesNamedForLink() { markChanged(); }

bool CardDocument::recordChange(const QString& text, const std::function<bool()>& apply,
                                int mergeId) {
    zqw::CardAnswers before = zqw::captureAnswers(card_);
    const bool wasModified = card_.isModified;
    const bool applied = apply();
    // The core's operations mark the card changed themselves; here the
    // stack decides, so that undoing to the saved state makes it unchanged.
    card_.isModified = wasModified;
    if (!applied) return false;
    zqw::CardAnswers after = zqw::captureAnswers(card_);
    if (after == before) {
        // A command that ran but changed nothing (an OK on an unchanged
        // column) still counts as a change, with nothing to undo.
        markChanged();
        return false;
    }
    undo_.push(new AnswersChange(
        card_, text, std::move(before), std::move(after), [this] { emit answersRestored(); },
        mergeId));
    return true;
}

void CardDocument::changeRow(const QString& text, int row, const std::string& rowText, int noteNo) {
    if (row <= 0 || row >= static_cast<int>(card_.rows.size())) return;
    zqw::RowText& target = card_.rows[row];
    if (target.text == rowText && target.noteNo == noteNo) {
        markChanged();
        return;
    }
    const zqw::RowText before = target;
    target.text = rowText;
    target.noteNo = noteNo;
    undo_.push(new RowChange(card_, text, row, before, target, [this] { emit answersRestored(); }));
}

void CardDocument::showMessage(std::string_view text) {
    dialogs_.message(fromMessageText(std::string(text)));
}

bool CardDocument::followOutside(const std::string& cardPath, const std::string& notesPath) {
    const QString card = recoveredCardFile_.isEmpty() ? fromPath(cardPath) : recoveredCardFile_;
    const QString notes = fromPath(notesPath);
    if (profile_.isRememberedNotesLink(canonicalFile(card), notes)) return true;
    const bool yes =
        dialogs_.questionDefaultNo(QStringLiteral("The card %1 links the notes file %2, which is "
                                                  "outside the card's folder. Open it as the "
                                                  "card's notes?")
                                       .arg(card, notes)) == UserDialogs::Answer::Yes;
    // Yes links that pair, as the user's own.
    if (yes) profile_.rememberNotesLink(canonicalFile(card), notes);
    return yes;
}

void CardDocument::rememberNotesLink() {
    if (card_.notesFileName.empty() || !card_.notesOpen) return;
    const zqw::NotesLinkTarget target =
        zqw::resolveNotesLink(card_.cardFileName, card_.notesFileName);
    if (target.place != zqw::NotesLinkTarget::Place::Outside) return;
    profile_.rememberNotesLink(canonicalFile(fileName()), fromPath(target.path));
}

bool CardDocument::loadTemplate(const QString& path) {
    hasTemplate_ = card_.parseTemplateFile(path.toStdString());
    // Without a template there is no card; the notes group still works.
    if (!hasTemplate_) card_.parseTemplate({});
    return hasTemplate_;
}

QString CardDocument::caption() const {
    return QStringLiteral("ZQW Convention card editor: ") + fileName();
}

void CardDocument::startBlankCard() {
    releaseCardOpen();
    card_.resetToBlankCard();
    startHistory();
    emit captionChanged(caption());
}

bool CardDocument::openCard(const QString& path) {
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    fingerprints_.rememberFromDisk(path);
    if (!card_.readCardFile()) {
        card_.cardFileName = previous;  // refused unread: the card stays as it was
        return false;
    }
    startHistory(card_.isModified);
    emit captionChanged(caption());
    markCardOpen();
    return true;
}

void CardDocument::openPackagedCard(const QString& path, const QStringList& extractedNotes) {
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    fingerprints_.rememberFromDisk(path);
    std::vector<std::string> notes;
    for (const QString& file : extractedNotes) notes.push_back(file.toStdString());
    if (!card_.readPackagedCardFile(notes)) {
        card_.cardFileName = previous;
        return;
    }
    startHistory(card_.isModified);
    emit captionChanged(caption());
    markCardOpen();
}

void CardDocument::restoreKnownState(const QString& path, const QByteArray& state) {
    if (state.isEmpty()) {
        fingerprints_.rememberFromDisk(path);
    } else {
        fingerprints_.rememberToken(path, state);
    }
}

void CardDocument::openRecoveredCopy(const QString& copyPath, const QString& cardFile,
                                     const QByteArray& cardState) {
    const std::string previous = card_.cardFileName;
    card_.cardFileName = copyPath.toStdString();
    // The copy's link is the card's: a pair the user made for the card is
    // followed, and a question names the card, not the copy.
    recoveredCardFile_ = cardFile.isEmpty() ? QString::fromLatin1(zqw::kUnnamedFile) : cardFile;
    const bool read = card_.readCardFile();
    recoveredCardFile_.clear();
    if (!read) {
        card_.cardFileName = previous;
        return;
    }
    card_.cardFileName =
        cardFile.isEmpty() ? std::string(zqw::kUnnamedFile) : cardFile.toStdString();
    // The copy's changes are to the card as its editor knew it.
    if (!isUnnamed()) restoreKnownState(fileName(), cardState);
    // Its changes are still unsaved, with nothing before them to undo.
    startHistory(true);
    emit captionChanged(caption());
    markCardOpen();
}

void CardDocument::closeCard() {
    releaseCardOpen();
    card_.resetToNoCard();
    // The caption keeps naming the closed card, whose rows stay on screen.
    startHistory();
}

bool CardDocument::importDosCard(const QString& path, zqw::NotesAppender& notes,
                                 const zqw::SuitChars& suitChars) {
    if (!zqw::importDosCard(card_, notes, path.toStdString(), suitChars)) return false;
    markChanged();
    return true;
}

QString CardDocument::linkedNotesFile() const {
    return QString::fromStdString(card_.notesFileName);
}

void CardDocument::linkNotes(const QString& notesFile) {
    card_.notesFileName = notesFile.toStdString();
    card_.notesOpen = true;
    markChanged();
}

std::string CardDocument::recoverySnapshot(QList<std::pair<int, std::string>> typedRows) {
    const auto swapTexts = [this, &typedRows] {
        for (auto& [row, text] : typedRows) {
            std::string held = card_.rows[row].text;
            card_.rows[row].text = text;
            text = std::move(held);
        }
    };
    swapTexts();
    std::string bytes = card_.cardFileBytes();
    swapTexts();
    return bytes;
}

bool CardDocument::mayOverwrite(const QString& path) {
    if (path.isEmpty() || !fingerprints_.changedOnDisk(path)) return true;
    return dialogs_.questionDefaultNo(
               path + QStringLiteral(
                          " was changed by another program since you opened it. Overwrite it?")) ==
           UserDialogs::Answer::Yes;
}

bool CardDocument::writeCard(const std::function<bool()>& write, LinkedNotes notes) {
    const bool withNotes = notes == LinkedNotes::Write && hasOpenLinkedNotes();
    if (!mayOverwrite(fileName())) return false;
    if (withNotes && !mayOverwrite(fromPath(card_.notesFileName))) return false;
    const std::string bytes = card_.cardFileBytes();
    notes_->setLeaveFile(!withNotes);
    const bool written = write();
    notes_->setLeaveFile(false);
    if (!written) return false;
    fingerprints_.remember(fileName(), bytes);
    undo_.setClean();
    rememberNotesLink();
    return true;
}

bool CardDocument::save(LinkedNotes notes) {
    if (!hasTemplate_) return false;
    return writeCard([this] { return card_.writeCardFile(); }, notes);
}

bool CardDocument::saveAs(const QString& path, LinkedNotes notes) {
    if (!hasTemplate_) return false;
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    if (!writeCard([this] { return card_.writeCardFile(); }, notes)) {
        card_.cardFileName = previous;
        return false;
    }
    markCardOpen();
    return true;
}

bool CardDocument::loadNotes(const QString& path) { return notes_->loadFile(path.toStdString()); }

bool CardDocument::saveNotes(const QString& path) { return notes_->saveFile(path.toStdString()); }

void CardDocument::markCardOpen() {
    if (isUnnamed() || !QFileInfo(fileName()).isFile()) {
        releaseCardOpen();
        return;
    }
    const QDir folder(userStateFolder());
    const QString prefix = openLockPrefix(fileName());
    if (openLock_ && QFileInfo(openLock_->fileName()).fileName().startsWith(prefix)) return;
    releaseCardOpen();
    if (!makePrivateFolder(folder.path())) return;
    // Every editor holds a lock of its own while it has the card open, so
    // each one that opens it later hears of all the others. A lock whose
    // editor has ended is taken over and goes; a running editor's cannot be
    // taken however long ago it opened the card.
    bool elsewhere = false;
    for (const QFileInfo& other :
         folder.entryInfoList({prefix + QStringLiteral("*.lock")}, QDir::Files)) {
        QLockFile probe(other.filePath());
        probe.setStaleLockTime(0);
        if (probe.tryLock(0)) {
            probe.unlock();
        } else if (probe.error() == QLockFile::LockFailedError) {
            elsewhere = true;
        }
    }
    auto lock = std::make_unique<QLockFile>(
        folder.filePath(prefix + QStringLiteral("%1-%2.lock")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(reinterpret_cast<quintptr>(this), 0, 16)));
    if (lock->tryLock(0)) openLock_ = std::move(lock);
    if (elsewhere) {
        dialogs_.message(fileName() +
                         QStringLiteral(" is also open in another editor on this machine."));
    }
}

void CardDocument::releaseCardOpen() { openLock_.reset(); }

void CardDocument::refreshCaption() { emit captionChanged(caption()); }
