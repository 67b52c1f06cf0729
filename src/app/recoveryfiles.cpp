#include "app/recoveryfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "card/filelimits.h"
#include "card/textfile.h"
#include "platform/privatefiles.h"

namespace {

// Long enough not to write while the user types, short enough that little
// is ever lost.
constexpr int kPauseMs = 3000;

const QString kInfoSuffix = QStringLiteral(".recovery");
const QString kLockSuffix = QStringLiteral(".lock");

// The first line of a note. Notes of earlier builds hold the two names on
// two lines of their own, which a name holding a line break confuses; a
// card's path always begins with '/' or is "UnNamed file", never this line.
const QByteArray kNoteHeader = "zqwcce recovery note 2";
const QByteArray kCardField = "card ";
const QByteArray kNotesField = "notes ";
const QByteArray kCardStateField = "cardstate ";
const QByteArray kNotesStateField = "notesstate ";

// Two file names, two fingerprints and a header line are all a note holds.
constexpr size_t kMostNoteBytes = zqw::kMostRecoveryNoteBytes;

// The note beside a copy, and the lock of the editor that wrote it.
QString infoPath(const QString& cardCopy) { return cardCopy + kInfoSuffix; }
QString lockPath(const QString& cardCopy) { return cardCopy.chopped(4) + kLockSuffix; }

// A name of any bytes, on one line: percent-encoded.
QByteArray encodedName(const QString& name) { return QFile::encodeName(name).toPercentEncoding(); }
QString decodedName(const QByteArray& field) {
    return QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

// Written whole and renamed into place, readable by the user alone.
bool writePrivately(const QString& path, std::string_view bytes) {
    zqw::AtomicFile file;
    return file.open(QFile::encodeName(path).toStdString(), 0600) && file.write(bytes) &&
           file.commit();
}

}  // namespace

RecoveryFiles::RecoveryFiles(Snapshot snapshot, QObject* parent)
    : QObject(parent), snapshot_(std::move(snapshot)) {
    writer_.setMaxThreadCount(1);
    timer_.setSingleShot(true);
    timer_.setInterval(kPauseMs);
    connect(&timer_, &QTimer::timeout, this, &RecoveryFiles::write);
    const QString id = QStringLiteral("%1-%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(QDateTime::currentMSecsSinceEpoch());
    own_.cardCopy = QDir(folder()).filePath(id + QStringLiteral(".ccf"));
    own_.notesCopy = QDir(folder()).filePath(id + QStringLiteral(".txt"));
}

bool RecoveryFiles::holdOwnership() {
    // Taken at the first change rather than at start: taking a lock writes
    // and syncs a file, which an editor opened only to read a card need not
    // wait for. Without the lock another editor would take this one's
    // copies for left behind; then no copies are kept at all.
    if (!ownership_ && !ownershipTried_) {
        ownershipTried_ = true;
        if (makePrivateFolder(folder())) {
            auto lock = std::make_unique<QLockFile>(lockPath(own_.cardCopy));
            if (lock->tryLock(0)) ownership_ = std::move(lock);
        }
    }
    return ownership_ != nullptr;
}

RecoveryFiles::~RecoveryFiles() {
    // Writes still under way finish before the copy can go.
    writer_.waitForDone();
}

QString RecoveryFiles::folder() { return userStateFolder(); }

QByteArray RecoveryFiles::noteBytes(const Copy& copy) {
    return kNoteHeader + '\n' + kCardField + encodedName(copy.cardFile) + '\n' + kNotesField +
           encodedName(copy.notesFile) + '\n' + kCardStateField +
           copy.cardState.toPercentEncoding() + '\n' + kNotesStateField +
           copy.notesState.toPercentEncoding() + '\n';
}

std::optional<RecoveryFiles::Copy> RecoveryFiles::parseNote(const QByteArray& bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    Copy copy;
    if (lines.value(0) != kNoteHeader) {
        // A note of an earlier build: the names on the first two lines.
        if (lines.size() < 2) return std::nullopt;
        copy.cardFile = QString::fromUtf8(lines[0]);
        copy.notesFile = QString::fromUtf8(lines[1]);
        return copy;
    }
    if (lines.size() < 3 || !lines[1].startsWith(kCardField) || !lines[2].startsWith(kNotesField))
        return std::nullopt;
    copy.cardFile = decodedName(lines[1].mid(kCardField.size()));
    copy.notesFile = decodedName(lines[2].mid(kNotesField.size()));
    if (lines.value(3).startsWith(kCardStateField))
        copy.cardState = QByteArray::fromPercentEncoding(lines[3].mid(kCardStateField.size()));
    if (lines.value(4).startsWith(kNotesStateField))
        copy.notesState = QByteArray::fromPercentEncoding(lines[4].mid(kNotesStateField.size()));
    return copy;
}

QList<RecoveryFiles::Copy> RecoveryFiles::leftBehind() {
    QList<Copy> copies;
    QDir dir(folder());
    const QFileInfoList infos = dir.entryInfoList({QStringLiteral("*") + kInfoSuffix}, QDir::Files,
                                                  QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : infos) {
        Copy copy;
        copy.cardCopy = info.filePath().chopped(kInfoSuffix.size());
        copy.notesCopy = copy.cardCopy.chopped(4) + QStringLiteral(".txt");
        // The lock stays with its editor while that runs; a lock whose
        // process has ended is taken over (however old a live one is).
        copy.claim = std::make_shared<QLockFile>(lockPath(copy.cardCopy));
        copy.claim->setStaleLockTime(0);
        if (!copy.claim->tryLock(0)) continue;
        const std::optional<std::string> note = zqw::readRegularFile(
            QFile::encodeName(info.filePath()).toStdString(), kMostNoteBytes, nullptr);
        if (!note) continue;
        const std::optional<Copy> written = parseNote(QByteArray::fromStdString(*note));
        if (!written) continue;
        copy.cardFile = written->cardFile;
        copy.notesFile = written->notesFile;
        copy.cardState = written->cardState;
        copy.notesState = written->notesState;
        const QFileInfo cardCopy(copy.cardCopy);
        if (!cardCopy.isFile()) continue;
        // A card saved after the copy was written holds newer work.
        const QFileInfo card(copy.cardFile);
        if (card.isFile() && card.lastModified() > cardCopy.lastModified()) continue;
        copies << copy;
    }
    // Locks of editors that ended without a copy to leave (killed with
    // nothing unsaved) go; a live editor's lock cannot be taken.
    for (const QFileInfo& info :
         dir.entryInfoList({QStringLiteral("*") + kLockSuffix}, QDir::Files)) {
        if (QFileInfo::exists(info.filePath().chopped(kLockSuffix.size()) + QStringLiteral(".ccf") +
                              kInfoSuffix))
            continue;
        QLockFile stale(info.filePath());
        stale.setStaleLockTime(0);
        if (stale.tryLock(0)) stale.unlock();
    }
    return copies;
}

void RecoveryFiles::remove(const Copy& copy) {
    // The note first: a copy half removed is never offered.
    QFile::remove(infoPath(copy.cardCopy));
    QFile::remove(copy.cardCopy);
    QFile::remove(copy.notesCopy);
    if (copy.claim) copy.claim->unlock();
}

void RecoveryFiles::changed(const QString& cardFile, const QString& notesFile,
                            const QByteArray& cardState, const QByteArray& notesState) {
    own_.cardFile = cardFile;
    own_.notesFile = notesFile;
    own_.cardState = cardState;
    own_.notesState = notesState;
    if (holdOwnership()) timer_.start();
}

void RecoveryFiles::discard() {
    timer_.stop();
    if (!written_) return;
    writer_.waitForDone();
    QFile::remove(infoPath(own_.cardCopy));
    QFile::remove(own_.cardCopy);
    QFile::remove(own_.notesCopy);
    written_ = false;
}

void RecoveryFiles::write() {
    auto [card, notes] = snapshot_();
    const Copy copy = own_;
    written_ = true;
    makePrivateFolder(folder());
    // The note goes last: a copy is offered only once both files are whole.
    writer_.start([copy, card = std::move(card), notes = std::move(notes)] {
        const QByteArray info = noteBytes(copy);
        if (writePrivately(copy.cardCopy, card) && writePrivately(copy.notesCopy, notes)) {
            writePrivately(infoPath(copy.cardCopy),
                           std::string_view(info.constData(), static_cast<size_t>(info.size())));
        }
    });
}
