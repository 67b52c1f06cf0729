#include "app/recoveryfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "card/filelimits.h"
#include "card/textfile.h"

namespace {

// Long enough not to write while the user types, short enough that little
// is ever lost.
constexpr int kPauseMs = 3000;

const QString kInfoSuffix = QStringLiteral(".recovery");

// The note beside a copy: the card's file, then the notes' file.
QString infoPath(const QString& cardCopy) { return cardCopy + kInfoSuffix; }

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

RecoveryFiles::~RecoveryFiles() {
    // Writes still under way finish before the copy can go.
    writer_.waitForDone();
}

QString RecoveryFiles::folder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir(state).filePath(QStringLiteral("zqwcce"));
}

QList<RecoveryFiles::Copy> RecoveryFiles::leftBehind() {
    QList<Copy> copies;
    QDir dir(folder());
    const QFileInfoList infos = dir.entryInfoList({QStringLiteral("*") + kInfoSuffix}, QDir::Files,
                                                  QDir::Time | QDir::Reversed);
    for (const QFileInfo& info : infos) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly) || file.size() > qint64{zqw::kMostRecoveryNoteBytes})
            continue;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        Copy copy;
        copy.cardCopy = info.filePath().chopped(kInfoSuffix.size());
        copy.notesCopy = copy.cardCopy.chopped(4) + QStringLiteral(".txt");
        copy.cardFile = lines.value(0);
        copy.notesFile = lines.value(1);
        const QFileInfo cardCopy(copy.cardCopy);
        if (!cardCopy.isFile()) continue;
        // A card saved after the copy was written holds newer work.
        const QFileInfo card(copy.cardFile);
        if (card.isFile() && card.lastModified() > cardCopy.lastModified()) continue;
        copies << copy;
    }
    return copies;
}

void RecoveryFiles::remove(const Copy& copy) {
    QFile::remove(infoPath(copy.cardCopy));
    QFile::remove(copy.cardCopy);
    QFile::remove(copy.notesCopy);
}

void RecoveryFiles::changed(const QString& cardFile, const QString& notesFile) {
    own_.cardFile = cardFile;
    own_.notesFile = notesFile;
    timer_.start();
}

void RecoveryFiles::discard() {
    timer_.stop();
    if (!written_) return;
    writer_.waitForDone();
    remove(own_);
    written_ = false;
}

void RecoveryFiles::write() {
    auto [card, notes] = snapshot_();
    const Copy copy = own_;
    written_ = true;
    QDir().mkpath(folder());
    // The note goes last: a copy is offered only once both files are whole.
    writer_.start([copy, card = std::move(card), notes = std::move(notes)] {
        const QByteArray info = (copy.cardFile + QLatin1Char('\n') + copy.notesFile).toUtf8();
        if (zqw::writeFileAtomically(copy.cardCopy.toStdString(), card) &&
            zqw::writeFileAtomically(copy.notesCopy.toStdString(), notes)) {
            zqw::writeFileAtomically(infoPath(copy.cardCopy).toStdString(),
                                     std::string_view(info.constData(), info.size()));
        }
    });
}
