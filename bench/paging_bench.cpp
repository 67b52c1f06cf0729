// A 20,000-row section against a short one, in the real editor (offscreen):
// paging up twenty times from the end of the section (every page moves, in
// both), and the line command that inserts rows one by one. Prints times and
// the ratios to the short section (paging) and to the first thousand rows
// (inserting) measured in the same run: a page should cost the same at any
// size, inserting grow as the rows do. Run by hand, not a test.
//
//     paging_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cstdio>

#include "app/editorapp.h"
#include "card/card.h"
#include "card/lineops.h"
#include "card/plainnotes.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "mainwindow/mainwindow.h"
#include "views/cardgrid.h"
#include "views/sectionview.h"

namespace {

constexpr int kBigRows = 20000;
// Enough rows that all twenty pages move.
constexpr int kShortRows = 250;
constexpr int kPages = 20;

// Answers nothing: the benchmark never asks a question.
class SilentDialogs : public QtUserDialogs {};

// Grows the first section's first line to `rows` rows with the line command
// itself, as a user inserting rows would.
double insertRows(zqw::Card& card, int rows) {
    QElapsedTimer timer;
    timer.start();
    for (int n = card.sections[0].rowCount; n < rows; ++n)
        zqw::insertRowAfter(card, 0, 1, n, {1000}, [](const std::string&) { return 0; });
    return timer.nsecsElapsed() / 1e6;
}

// Pages up from the last row of the first section of a started editor.
double pageUp(EditorApp& app) {
    CardGrid& grid = app.sectionView().grid(1);
    grid.setActiveCell(grid.gridModel().rowCount(), 1);
    grid.startEditing(true);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int k = 0; k < kPages; ++k) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(grid.editor() ? static_cast<QWidget*>(grid.editor()) : &grid,
                                &press);
        // Each page is painted before the next is asked for.
        grid.viewport()->repaint();
        QApplication::processEvents();
    }
    return timer.nsecsElapsed() / 1e6;
}

double startAndPage(const QString& cardPath) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("XDG_STATE_HOME", config.path().toUtf8());
    QDir().mkpath(config.filePath(QStringLiteral("ZQW_VEZ")));
    QFile ini(config.filePath(QStringLiteral("ZQW_VEZ/zqwcce.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[setup]\r\nhintstart=0\r\nwidth=800\r\nheight=600\r\nfile=" + cardPath.toUtf8() +
                  "\r\n");
    ini.close();
    SilentDialogs dialogs;
    EditorApp app(dialogs);
    if (!app.isReady()) return -1;
    app.mainWindow().show();
    QApplication::processEvents();
    return pageUp(app);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString templatePath =
        QCoreApplication::applicationDirPath() + QStringLiteral("/zqw.sel");

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    if (!card.parseTemplateFile(templatePath.toStdString())) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(templatePath));
        return 2;
    }
    card.resetToBlankCard();
    insertRows(card, kShortRows);
    const QString shortPath = folder.filePath(QStringLiteral("short.ccf"));
    card.cardFileName = shortPath.toStdString();
    card.writeCardFile();

    std::printf("Inserting rows one by one into one line (the line command):\n");
    const double first = insertRows(card, 1000);
    std::printf("  to %6d rows: %8.1f ms  (1.00)\n", 1000, first);
    for (const int rows : {5000, 10000, kBigRows}) {
        card.resetToBlankCard();
        const double took = insertRows(card, rows);
        std::printf("  to %6d rows: %8.1f ms  (%.2f; rows ratio %.0f)\n", rows, took, took / first,
                    rows / 1000.0);
    }
    const QString bigPath = folder.filePath(QStringLiteral("big.ccf"));
    card.cardFileName = bigPath.toStdString();
    card.writeCardFile();

    const double small = startAndPage(shortPath);
    const double big = startAndPage(bigPath);
    std::printf("Paging up %d times from the end of the first section:\n", kPages);
    std::printf("  %6d rows:   %8.1f ms  (1.00)\n", kShortRows, small);
    std::printf("  %6d rows:   %8.1f ms  (%.2f)\n", kBigRows, big, big / small);
    return 0;
}
