// Times the notes editor on about 1 MB of notes holding 10,000 matches:
// replace-all, undoing it, stepping through every match with searches,
// saving and loading. Prints each figure and its ratio to a bare
// QPlainTextEdit taking the same text; asserts nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

#include "views/notestexteditor.h"

namespace {

constexpr int kMatches = 10000;
constexpr qsizetype kTargetSize = 1024 * 1024;

// About 1 MB: 10,000 lines of roughly 100 characters, each holding
// "Stayman" once, a note heading every 50 lines, then filler without it.
QString makeNotes() {
    QString notes;
    notes.reserve(kTargetSize + 200);
    const QString line = QStringLiteral(
        "After 1NT, 2C is Stayman asking for a major; the replies show shape first.\n");
    for (int i = 0; i < kMatches; ++i) {
        if (i % 50 == 0) notes += QStringLiteral("Note:..%1: section\n").arg(i / 50 + 1);
        notes += line;
    }
    const QString filler = QStringLiteral("Responses show shape first and strength after.\n");
    while (notes.size() < kTargetSize) notes += filler;
    return notes;
}

// What every figure is measured against: a bare QPlainTextEdit taking the
// same text, timed in the same run, so the ratios survive a noisy machine.
qint64 baselineNs = 1;

void report(const char* what, qint64 nanoseconds, const QString& detail = {}) {
    std::printf("%-38s %9.1f ms %8.2f x  %s\n", what, nanoseconds / 1e6,
                double(nanoseconds) / double(baselineNs), detail.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NotesTextEditor editor;
    editor.resize(800, 600);
    editor.show();
    QApplication::processEvents();

    const QString notes = makeNotes();
    std::printf("notes: %lld characters, %d lines, %d matches\n",
                static_cast<long long>(notes.size()),
                static_cast<int>(notes.count(QLatin1Char('\n'))),
                static_cast<int>(notes.count(QStringLiteral("Stayman"))));

    QElapsedTimer timer;
    {
        QPlainTextEdit bare;
        bare.resize(800, 600);
        bare.show();
        QApplication::processEvents();
        timer.start();
        bare.setPlainText(notes);
        QApplication::processEvents();
        baselineNs = std::max<qint64>(1, timer.nsecsElapsed());
    }
    std::printf(
        "baseline: a bare QPlainTextEdit takes the text in %.1f ms; figures are "
        "also given as multiples of it\n",
        baselineNs / 1e6);
    timer.restart();
    editor.setPlainText(notes);
    QApplication::processEvents();
    report("set text", timer.nsecsElapsed());

    SearchOptions global;
    global.global = true;
    timer.restart();
    const int replaced =
        editor.replaceAll(QStringLiteral("stayman"), QStringLiteral("Puppet Stayman"), global);
    QApplication::processEvents();
    report("replace all (any case)", timer.nsecsElapsed(),
           QStringLiteral("%1 replaced").arg(replaced));

    timer.restart();
    editor.undo();
    QApplication::processEvents();
    report("undo the replace all", timer.nsecsElapsed(),
           editor.toPlainText() == notes ? QStringLiteral("text restored")
                                         : QStringLiteral("TEXT DIFFERS"));

    SearchOptions matchCase;
    matchCase.global = true;
    matchCase.matchCase = true;
    timer.restart();
    const int again =
        editor.replaceAll(QStringLiteral("Stayman"), QStringLiteral("Puppet Stayman"), matchCase);
    QApplication::processEvents();
    report("replace all (match case)", timer.nsecsElapsed(),
           QStringLiteral("%1 replaced").arg(again));

    editor.setCaret(1, 1);
    int found = 0;
    timer.restart();
    while (editor.search(QStringLiteral("puppet stayman"), SearchOptions{})) ++found;
    report("forward through every match", timer.nsecsElapsed(),
           QStringLiteral("%1 found").arg(found));

    // One search that reads the whole text to find its only match on the
    // last line, and one that finds nothing: what a user waits for.
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("\nclosing remark"));
    editor.setCaret(1, 1);
    timer.restart();
    const bool atEnd = editor.search(QStringLiteral("closing remark"), SearchOptions{});
    QApplication::processEvents();
    report("one forward search to the last line", timer.nsecsElapsed(),
           atEnd ? QStringLiteral("found") : QStringLiteral("NOT FOUND"));
    editor.setCaret(1, 1);
    timer.restart();
    const bool absent = editor.search(QStringLiteral("no such words"), SearchOptions{});
    report("one forward search that finds nothing", timer.nsecsElapsed(),
           absent ? QStringLiteral("FOUND") : QStringLiteral("not found"));

    // The same without a window: what is left is the search itself, not
    // the scrolling that shows each match.
    editor.hide();
    editor.setCaret(1, 1);
    found = 0;
    timer.restart();
    while (editor.search(QStringLiteral("puppet stayman"), SearchOptions{})) ++found;
    report("forward through every, hidden", timer.nsecsElapsed(),
           QStringLiteral("%1 found").arg(found));
    editor.show();
    QApplication::processEvents();

    SearchOptions backward;
    backward.backward = true;
    found = 0;
    timer.restart();
    while (editor.search(QStringLiteral("puppet stayman"), backward)) ++found;
    report("backward through every match", timer.nsecsElapsed(),
           QStringLiteral("%1 found").arg(found));

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("notes.txt")).toStdString();
    timer.restart();
    const bool saved = editor.saveFile(path);
    report("save", timer.nsecsElapsed(), saved ? QString() : QStringLiteral("FAILED"));
    timer.restart();
    const bool loaded = editor.loadFile(path);
    QApplication::processEvents();
    report("load", timer.nsecsElapsed(), loaded ? QString() : QStringLiteral("FAILED"));
    return 0;
}
