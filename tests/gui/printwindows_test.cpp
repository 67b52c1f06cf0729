// The card and notes print windows driven as a user would: their controls,
// printing to PDF files read back with pdftotext, the preview and its
// refresh after a line command, report archives saved and viewed again,
// damaged archives, and the ways out that write nothing.

#include <sys/stat.h>

#include <QAbstractPrintDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <functional>

#include "guitestmain.h"
#include "guitestsupport.h"
#include "platform/inifile.h"
#include "printing/reportoutput.h"
#include "printing/reportpreviewwindow.h"
#include "render/reportarchive.h"

namespace {

const QString kPdfFilter = QStringLiteral("PDF files (*.pdf)|*.pdf");
const QString kNothingFiltered;
const QString kCardTitle = QStringLiteral("ZQW Convention Card 2.19");
const QString kNotesTitle = QStringLiteral(
    "Supplementary notes file (filled-notes.txt) Natural, strong 1NT, 5-card majors (Alice "
    "Marlow & Ben Okafor)");

template <typename T>
T& child(const QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control named %s", name);
    return *found;
}

QPushButton& button(const QWidget& window, const char* name) {
    return child<QPushButton>(window, name);
}

void click(const QWidget& window, const char* name) { button(window, name).click(); }

QDialog& cardWindow(EditorApp& app) { return child<QDialog>(app.sectionView(), "cardPrintWindow"); }

QDialog& notesWindow(EditorApp& app) {
    return child<QDialog>(app.sectionView(), "notesPrintWindow");
}

// The preview or archive windows now on screen with this title.
QList<ReportPreviewWindow*> shownPreviews(EditorApp& app, const QString& title) {
    QList<ReportPreviewWindow*> shown;
    for (ReportPreviewWindow* window : app.sectionView().findChildren<ReportPreviewWindow*>()) {
        if (window->isVisible() && window->windowTitle() == title) shown << window;
    }
    return shown;
}

ReportPreviewWindow* shownPreview(EditorApp& app, const QString& title) {
    const QList<ReportPreviewWindow*> shown = shownPreviews(app, title);
    return shown.size() == 1 ? shown.constFirst() : nullptr;
}

int previewPageCount(const QWidget& preview) {
    return child<QPrintPreviewWidget>(preview, "previewPages").pageCount();
}

void triggerTool(const QWidget& preview, const char* name) {
    QAction* tool = preview.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(tool, name);
    tool->trigger();
}

// The text of each page of a PDF file, as pdftotext reads it.
QStringList pdfPages(const QString& path) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return {QStringLiteral("<no text>")};
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// "W x H" in points of the first page of a PDF file, as pdfinfo reads it.
QString pdfPageSize(const QString& path) {
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {path});
    if (!tool.waitForFinished(60000)) return {};
    for (const QString& line :
         QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Page size:")))
            return line.section(QLatin1Char(':'), 1).section(QLatin1String(" pts"), 0, 0).trimmed();
    }
    return {};
}

// A page of a report drawn at a low resolution, to compare pictures.
QImage pageImage(PagedReport& report, int page) {
    constexpr int kDpi = 60;
    report.layOut(kDpi);
    QImage image(report.pageLayout().fullRectPixels(kDpi).size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    report.paintPage(painter, page);
    return image;
}

// Selects the notes from (line, index) to (line, index): lines count from
// 1 and indexes from 0, the end index being the first character left out.
void selectNotes(EditorApp& app, int fromLine, int fromIndex, int toLine, int toIndex) {
    QPlainTextEdit& notes = app.notesEditor();
    QTextCursor cursor(notes.document());
    cursor.setPosition(notes.document()->findBlockByNumber(fromLine - 1).position() + fromIndex);
    cursor.setPosition(notes.document()->findBlockByNumber(toLine - 1).position() + toIndex,
                       QTextCursor::KeepAnchor);
    notes.setTextCursor(cursor);
}

bool printSupportLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("printersupport");
}

}  // namespace

class PrintWindowsTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    // First: nothing before it may have asked for printers.
    void printersAreAskedForOnlyToPrint();
    void windowsShowTheirControls_data();
    void windowsShowTheirControls();
    void printItemsFollowTheCardAndTheNotes();
    void cardPrintToFile_data();
    void cardPrintToFile();
    void cardPrintThroughThePrintDialog();
    void notesPrintToFile_data();
    void notesPrintToFile();
    void previewFollowsLineCommands();
    void savedArchiveShowsTheSamePages();
    void damagedArchiveIsRefused_data();
    void damagedArchiveIsRefused();
    void cancelledCommandsWriteNothing();
    void specialFilesAtOutputPathsAreLeftAlone_data();
    void specialFilesAtOutputPathsAreLeftAlone();
    void notesPrintOnThePaperTheCardStored();

private:
    // The editor on a filled card and its notes, as the last card opened;
    // more settings lines may follow.
    EditorApp& startOnFilledCard(const QByteArray& moreSettings = {}) {
        for (const char* name : {"filled.ccf", "filled-notes.txt"}) {
            const QString fixture =
                QStringLiteral(ZQW_SOURCE_DIR "/tests/print/") + QLatin1String(name);
            QFile::copy(fixture, path(QLatin1String(name)));
        }
        const QByteArray ini = "[setup]\r\nfile=" + path(QStringLiteral("filled.ccf")).toUtf8() +
                               "\r\n" + moreSettings;
        if (!session().settings().writeIni(ini)) qFatal("cannot write the settings");
        EditorApp& app = session().start();
        if (app.notesEditor().fileName() != path(QStringLiteral("filled-notes.txt")))
            qFatal("the filled card did not open with its notes");
        return app;
    }

    // Print to file from a window into a new file; the PDF's page texts.
    QStringList printToFile(const QWidget& window, const QString& name) {
        const QString pdf = path(name);
        dialogs().expectSaveFile(pdf, kPdfFilter);
        click(window, "printToFileButton");
        return pdfPages(pdf);
    }

    // The files of the test's folder other than the fixtures.
    QStringList writtenFiles() const {
        QStringList files = QDir(session().folder().path()).entryList(QDir::Files);
        files.removeAll(QStringLiteral("filled.ccf"));
        files.removeAll(QStringLiteral("filled-notes.txt"));
        return files;
    }
};

void PrintWindowsTest::printersAreAskedForOnlyToPrint() {
    QVERIFY(!printSupportLoaded());
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    chooseMenuItem(app, "printNotes");
    QVERIFY(!printSupportLoaded());
    // The check can tell: a preview does load it.
    click(cardWindow(app), "previewButton");
    QVERIFY(printSupportLoaded());
}

void PrintWindowsTest::windowsShowTheirControls_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("choiceGroup");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QStringList>("buttons");
    const QStringList after = {QStringLiteral("Print"), QStringLiteral("Print to file"),
                               QStringLiteral("Cancel"), QStringLiteral("View archive")};
    QTest::newRow("card") << QStringLiteral("printCard") << QStringLiteral("cardPrintWindow")
                          << QStringLiteral("Print Convention Card")
                          << QStringLiteral("Select page")
                          << QStringList{QStringLiteral("All pages"), QStringLiteral("Page 1"),
                                         QStringLiteral("Page 2")}
                          << QStringList{QStringLiteral("Preview Print")} + after;
    QTest::newRow("notes") << QStringLiteral("printNotes") << QStringLiteral("notesPrintWindow")
                           << QStringLiteral("Print notes file") << QStringLiteral("Print choice")
                           << QStringList{QStringLiteral("All pages"),
                                          QStringLiteral("Selected text")}
                           << QStringList{QStringLiteral("Preview print")} + after;
}

void PrintWindowsTest::windowsShowTheirControls() {
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QString, choiceGroup);
    QFETCH(QStringList, choices);
    QFETCH(QStringList, buttons);
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, item.toLatin1().constData());
    auto* shown = app.sectionView().findChild<QDialog*>(window);
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QVERIFY(!shown->isModal());
    QCOMPARE(shown->windowType(), Qt::Tool);  // stays above the editor
    QCOMPARE(shown->windowTitle(), title);

    auto* group = shown->findChild<QGroupBox*>();
    QVERIFY(group);
    QCOMPARE(group->title(), choiceGroup);
    QStringList shownChoices;
    for (QRadioButton* choice : group->findChildren<QRadioButton*>())
        shownChoices << choice->text();
    QCOMPARE(shownChoices, choices);
    QVERIFY(group->findChildren<QRadioButton*>().constFirst()->isChecked());

    QStringList shownButtons;
    for (QPushButton* each : shown->findChildren<QPushButton*>()) shownButtons << each->text();
    QCOMPARE(shownButtons, buttons);
    QVERIFY(button(*shown, "previewButton").isDefault());

    // Esc, Cancel and the close box only hide the window.
    QTest::keyClick(shown, Qt::Key_Escape);
    QVERIFY(!shown->isVisible());
    chooseMenuItem(app, item.toLatin1().constData());
    QVERIFY(shown->isVisible());
    click(*shown, "cancelButton");
    QVERIFY(!shown->isVisible());
    chooseMenuItem(app, item.toLatin1().constData());
    QVERIFY(shown->close());
    QVERIFY(!shown->isVisible());
    QCOMPARE(app.sectionView().findChildren<QDialog*>(window).size(), 1);
}

void PrintWindowsTest::printItemsFollowTheCardAndTheNotes() {
    EditorApp& app = startOnFilledCard();
    const auto shownAfter = [&](const char* menu, const char* item) {
        emit menuNamed(app, QLatin1String(menu))->aboutToShow();
        return MenuActions::itemEnabled(app.action(QLatin1String(item)));
    };
    QVERIFY(shownAfter("fileMenu", "printCard"));
    QVERIFY(shownAfter("notesMenu", "printNotes"));

    chooseMenuItem(app, "closeNotes");
    QVERIFY(!shownAfter("notesMenu", "printNotes"));
    QVERIFY(shownAfter("fileMenu", "printCard"));
    // Ctrl+Shift+P does nothing now; Ctrl+P still shows the card window.
    QTest::keyClick(&app.mainWindow(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!app.sectionView().findChild<QDialog*>(QStringLiteral("notesPrintWindow")));
    QTest::keyClick(&app.mainWindow(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(cardWindow(app).isVisible());
    click(cardWindow(app), "cancelButton");

    // The card's relative link leads to the notes beside it: the card is
    // unchanged, and closes without a question.
    chooseMenuItem(app, "closeCard");
    QVERIFY(!shownAfter("fileMenu", "printCard"));
    showActive(app);
    QTest::keyClick(&app.mainWindow(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!cardWindow(app).isVisible());
}

void PrintWindowsTest::cardPrintToFile_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("pageHolds");  // a text each printed page holds
    QTest::addColumn<QStringList>("absent");
    // Later pages are headed by the card title too: the first page is the
    // one with the partnership's details.
    const QString firstPage = QStringLiteral("KHF numbers");
    const QString secondPage = QStringLiteral("Opening bids");
    QTest::newRow("all pages") << QStringLiteral("allPages") << QStringList{firstPage, secondPage}
                               << QStringList{};
    QTest::newRow("page 1") << QStringLiteral("firstPage") << QStringList{firstPage}
                            << QStringList{secondPage};
    QTest::newRow("page 2") << QStringLiteral("secondPage") << QStringList{secondPage}
                            << QStringList{firstPage};
}

void PrintWindowsTest::cardPrintToFile() {
    QFETCH(QString, choice);
    QFETCH(QStringList, pageHolds);
    QFETCH(QStringList, absent);
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    QDialog& window = cardWindow(app);
    child<QRadioButton>(window, choice.toLatin1().constData()).click();
    const QStringList pages = printToFile(window, QStringLiteral("card.pdf"));
    QCOMPARE(pages.size(), pageHolds.size());
    for (int page = 0; page < pages.size(); ++page) {
        QVERIFY2(pages[page].contains(pageHolds[page]), qPrintable(pages[page].left(300)));
        for (const QString& text : absent) QVERIFY(!pages[page].contains(text));
    }
    // Suits print as suit characters, not as the card font's brackets.
    const QString all = pages.join(QLatin1Char('\n'));
    QVERIFY(all.contains(QStringLiteral("2\u2663")) || all.contains(QStringLiteral("1\u2663")));
    QVERIFY(!all.contains(QLatin1Char('[')) && !all.contains(QLatin1Char('}')));
    // The window stays for the next run.
    QVERIFY(window.isVisible());
}

void PrintWindowsTest::cardPrintThroughThePrintDialog() {
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    const QString pdf = path(QStringLiteral("printer.pdf"));
    // No printer is installed here: the printer the dialog was given writes
    // a file, as a real one would print.
    dialogs().expectDialog(QStringLiteral("Print"), [&pdf](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print) return int(QDialog::Rejected);
        // Print to file and page ranges belong to the window's own controls.
        if (print->testOption(QAbstractPrintDialog::PrintToFile) ||
            print->testOption(QAbstractPrintDialog::PrintPageRange))
            return int(QDialog::Rejected);
        print->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    click(cardWindow(app), "printButton");
    const QStringList pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(kCardTitle));
}

void PrintWindowsTest::notesPrintToFile_data() {
    QTest::addColumn<QList<int>>("selection");  // from line, index, to line, index
    QTest::addColumn<bool>("chooseSelectedText");
    QTest::addColumn<bool>("dropSelectionFirst");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<bool>("selectedTextAfter");

    const QStringList everything = {kNotesTitle, QStringLiteral("Note:..3: Bergen raises"),
                                    QStringLiteral("3\u2663 7-9 points"),
                                    QStringLiteral("Brown sticker conventions: Natural"),
                                    QStringLiteral("listed here before the event.")};
    QTest::newRow("all pages") << QList<int>{} << false << false << 2 << everything << QStringList{}
                               << false;
    // Line 5 is "After a 1] or 1[ opening by an unpassed hand:", line 6
    // "    3}  7-9 points, four-card support".
    QTest::newRow("selected text")
        << QList<int>{5, 8, 6, 6} << true << false << 1
        << QStringList{kNotesTitle, QStringLiteral("1\u2665 or 1\u2660 opening by an unpassed"),
                       QStringLiteral("3\u2663")}
        << QStringList{QStringLiteral("After a"), QStringLiteral("7-9"),
                       QStringLiteral("Bergen raises"), QStringLiteral("Brown sticker")}
        << true;
    QTest::newRow("no selection: all pages again")
        << QList<int>{} << true << false << 2 << everything << QStringList{} << false;
    QTest::newRow("selection gone before the run")
        << QList<int>{5, 8, 6, 6} << true << true << 2 << everything << QStringList{} << false;
}

void PrintWindowsTest::notesPrintToFile() {
    QFETCH(QList<int>, selection);
    QFETCH(bool, chooseSelectedText);
    QFETCH(bool, dropSelectionFirst);
    QFETCH(int, pageCount);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, absent);
    QFETCH(bool, selectedTextAfter);
    EditorApp& app = startOnFilledCard();
    if (!selection.isEmpty())
        selectNotes(app, selection[0], selection[1], selection[2], selection[3]);
    chooseMenuItem(app, "printNotes");
    QDialog& window = notesWindow(app);
    if (chooseSelectedText) child<QRadioButton>(window, "selectedText").click();
    if (dropSelectionFirst) {
        QTextCursor cursor = app.notesEditor().textCursor();
        cursor.clearSelection();
        app.notesEditor().setTextCursor(cursor);
    }
    const QStringList pages = printToFile(window, QStringLiteral("notes.pdf"));
    QCOMPARE(pages.size(), pageCount);
    // pdftotext keeps a line's runs of blanks apart; words are compared.
    const QString all = pages.join(QLatin1Char(' ')).simplified();
    for (const QString& text : printed) QVERIFY2(all.contains(text), qPrintable(text));
    for (const QString& text : absent) QVERIFY2(!all.contains(text), qPrintable(text));
    QCOMPARE(child<QRadioButton>(window, "selectedText").isChecked(), selectedTextAfter);
    QCOMPARE(child<QRadioButton>(window, "allPages").isChecked(), !selectedTextAfter);

    // The preview shows as many pages.
    click(window, "previewButton");
    ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(preview);
    QCOMPARE(previewPageCount(*preview), pageCount);
}

void PrintWindowsTest::previewFollowsLineCommands() {
    EditorApp& app = startOnFilledCard();
    // A line command while no preview is open opens none.
    editCell(app, 1, 3, 1);
    chooseMenuItem(app, "insertLineAfter");
    QCoreApplication::processEvents();
    QVERIFY(shownPreviews(app, QStringLiteral("Print preview")).isEmpty());

    chooseMenuItem(app, "printCard");
    click(cardWindow(app), "previewButton");
    ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(preview);
    QCOMPARE(previewPageCount(*preview), 2);
    preview->setGeometry(QRect(40, 90, 700, 500));  // inside the screen, frame and all
    const QRect bounds = preview->geometry();
    QSignalSpy renders(&child<QPrintPreviewWidget>(*preview, "previewPages"),
                       &QPrintPreviewWidget::paintRequested);

    // Typed into the second row, then a row inserted before it.
    editCell(app, 1, 2, 1);
    typeIntoCell(app, 1, QStringLiteral("Refreshed"));
    chooseMenuItem(app, "insertLineBefore");
    QVERIFY(!preview->isVisible());  // closed while the command runs
    QTRY_VERIFY(preview->isVisible());
    QCOMPARE(shownPreviews(app, QStringLiteral("Print preview")).size(), 1);
    QCOMPARE(preview->geometry(), bounds);
    QCOMPARE(renders.size(), 1);
    // It shows the card as the command left it.
    dialogs().expectSaveFile(path(QStringLiteral("shown.raf")), ReportArchive::fileFilter());
    triggerTool(*preview, "saveArchive");
    std::optional<ReportArchive> shown = ReportArchive::load(path(QStringLiteral("shown.raf")));
    QVERIFY(shown);
    QVERIFY(writeReportPdf(*shown, path(QStringLiteral("shown.pdf")), 300));
    const QStringList pages = pdfPages(path(QStringLiteral("shown.pdf")));
    QCOMPARE(pages.size(), 2);
    QVERIFY2(pages[0].contains(QStringLiteral("Refreshed")), qPrintable(pages[0]));

    // Once the user closes it, line commands leave it closed.
    preview->close();
    chooseMenuItem(app, "insertLineBefore");
    QTest::qWait(50);
    QVERIFY(!preview->isVisible());
    QCOMPARE(renders.size(), 1);
}

void PrintWindowsTest::savedArchiveShowsTheSamePages() {
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    QDialog& window = cardWindow(app);
    click(window, "previewButton");
    ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(preview);
    const QString archive = path(QStringLiteral("card.raf"));
    dialogs().expectSaveFile(archive, ReportArchive::fileFilter());
    triggerTool(*preview, "saveArchive");
    QVERIFY(QFile::exists(archive));

    // A user shows it again, with the window's "View archive".
    dialogs().expectOpenFile(archive, ReportArchive::fileFilter());
    click(window, "viewArchiveButton");
    ReportPreviewWindow* viewer = shownPreview(app, QStringLiteral("Report archive: card.raf"));
    QVERIFY(viewer);
    QCOMPARE(previewPageCount(*viewer), 2);
    ReportArchive shownBefore = preview->pages();
    ReportArchive shownAgain = viewer->pages();
    QCOMPARE(shownAgain.pageLayout().orientation(), QPageLayout::Landscape);
    for (int page = 0; page < 2; ++page) {
        const QImage before = pageImage(shownBefore, page);
        QVERIFY(before != QImage(before.size(), QImage::Format_RGB32));
        QCOMPARE(pageImage(shownAgain, page), before);
    }

    // Printed from the viewer, the pages come out whole at the printer's
    // resolution.
    const QString printed = path(QStringLiteral("printed.pdf"));
    dialogs().expectDialog(QStringLiteral("Print"), [&printed](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print) return int(QDialog::Rejected);
        print->printer()->setOutputFileName(printed);
        return int(QDialog::Accepted);
    });
    triggerTool(*viewer, "printPages");
    const QStringList pages = pdfPages(printed);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(kCardTitle));
    QVERIFY(pages[1].contains(QStringLiteral("Opening bids")));

    // The notes window shows the same archive; its dialog filters nothing.
    chooseMenuItem(app, "printNotes");
    dialogs().expectOpenFile(archive, kNothingFiltered);
    click(notesWindow(app), "viewArchiveButton");
    QVERIFY(dialogs().lastFileRequest().filter.isEmpty());
    QCOMPARE(shownPreviews(app, QStringLiteral("Report archive: card.raf")).size(), 2);

    // The notes printout is kept and shown again the same way, with the
    // notes as they were when it was made.
    preview->close();
    click(notesWindow(app), "previewButton");
    ReportPreviewWindow* notesPreview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(notesPreview && notesPreview != preview);
    const QString notesArchive = path(QStringLiteral("notes.raf"));
    dialogs().expectSaveFile(notesArchive, ReportArchive::fileFilter());
    triggerTool(*notesPreview, "saveArchive");
    ReportArchive notesShown = notesPreview->pages();
    app.notesEditor().setPlainText(QStringLiteral("Other notes"));
    dialogs().expectOpenFile(notesArchive, kNothingFiltered);
    click(notesWindow(app), "viewArchiveButton");
    ReportPreviewWindow* notesViewer =
        shownPreview(app, QStringLiteral("Report archive: notes.raf"));
    QVERIFY(notesViewer);
    ReportArchive notesAgain = notesViewer->pages();
    notesShown.layOut(60);
    QVERIFY(notesShown.pageCount() > 0);
    QCOMPARE(previewPageCount(*notesViewer), notesShown.pageCount());
    for (int page = 0; page < notesShown.pageCount(); ++page)
        QCOMPARE(pageImage(notesAgain, page), pageImage(notesShown, page));
}

void PrintWindowsTest::damagedArchiveIsRefused_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    const QString notOurs = QStringLiteral("This file is not a report archive.");
    const QString damaged = QStringLiteral("The report archive is damaged: ");
    QTest::newRow("empty") << QStringLiteral("empty") << notOurs;
    QTest::newRow("text file") << QStringLiteral("text") << notOurs;
    QTest::newRow("cut short") << QStringLiteral("cut")
                               << damaged + QLatin1String("its card is cut short.");
    QTest::newRow("card changed") << QStringLiteral("card")
                                  << damaged +
                                         QLatin1String("its card or card template cannot be read.");
    QTest::newRow("drawn pages of an earlier build")
        << QStringLiteral("earlier")
        << QStringLiteral(
               "This report archive was written by an earlier version of the editor, "
               "whose archives are no longer shown: they could hold anything. Print "
               "the card or notes again.");
}

void PrintWindowsTest::damagedArchiveIsRefused() {
    QFETCH(QString, damage);
    QFETCH(QString, message);
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    QDialog& window = cardWindow(app);
    click(window, "previewButton");
    ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(preview);
    QByteArray bytes = preview->pages().toBytes();
    if (damage == QLatin1String("empty")) bytes.clear();
    if (damage == QLatin1String("text")) bytes = "Just some notes\r\n";
    if (damage == QLatin1String("cut")) bytes.chop(10);
    if (damage == QLatin1String("card")) {
        const qsizetype card = bytes.lastIndexOf("ZQW1.0");
        QVERIFY(card > 0);
        bytes.replace(card, 6, "ZQW9.9");
    }
    // The header of a build that kept drawn pages, then a page it would
    // have read without bound.
    if (damage == QLatin1String("earlier"))
        bytes = bytes.left(8) + QByteArray("\0\0\0\1\0\0\0\1", 8) + QByteArray(85, '\x7f');
    const QString file = path(QStringLiteral("damaged.raf"));
    writeBytes(file, bytes);

    dialogs().expectOpenFile(file, ReportArchive::fileFilter());
    dialogs().expectMessage(QStringLiteral("damaged.raf: ") + message);
    click(window, "viewArchiveButton");
    QVERIFY(shownPreviews(app, QStringLiteral("Report archive: damaged.raf")).isEmpty());
    // The window goes on working.
    QCOMPARE(printToFile(window, QStringLiteral("after.pdf")).size(), 2);
}

void PrintWindowsTest::cancelledCommandsWriteNothing() {
    EditorApp& app = startOnFilledCard();
    chooseMenuItem(app, "printCard");
    QDialog& window = cardWindow(app);
    dialogs().expectSaveFile(std::nullopt, kPdfFilter);
    click(window, "printToFileButton");
    dialogs().expectDialog(QStringLiteral("Print"),
                           [](QDialog&) { return int(QDialog::Rejected); });
    click(window, "printButton");
    dialogs().expectOpenFile(std::nullopt, ReportArchive::fileFilter());
    click(window, "viewArchiveButton");
    QVERIFY(app.sectionView().findChildren<ReportPreviewWindow*>().isEmpty());

    click(window, "previewButton");
    ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
    QVERIFY(preview);
    dialogs().expectSaveFile(std::nullopt, ReportArchive::fileFilter());
    triggerTool(*preview, "saveArchive");
    dialogs().expectDialog(QStringLiteral("Print"),
                           [](QDialog&) { return int(QDialog::Rejected); });
    triggerTool(*preview, "printPages");

    chooseMenuItem(app, "printNotes");
    dialogs().expectSaveFile(std::nullopt, kPdfFilter);
    click(notesWindow(app), "printToFileButton");
    QCOMPARE(writtenFiles(), QStringList());
    // A file that cannot be written is reported, and no file is left.
    const QString unwritable = path(QStringLiteral("no such folder/card.pdf"));
    dialogs().expectSaveFile(unwritable, kPdfFilter);
    dialogs().expectMessage({});
    click(window, "printToFileButton");
    QVERIFY2(dialogs().log().constLast().contains(unwritable),
             qPrintable(dialogs().log().constLast()));
    QCOMPARE(writtenFiles(), QStringList());
}

void PrintWindowsTest::specialFilesAtOutputPathsAreLeftAlone_data() {
    QTest::addColumn<QString>("output");
    QTest::newRow("card print to file") << QStringLiteral("card");
    QTest::newRow("notes print to file") << QStringLiteral("notes");
    QTest::newRow("archive save") << QStringLiteral("archive");
    QTest::newRow("print dialog's file") << QStringLiteral("printer");
}

void PrintWindowsTest::specialFilesAtOutputPathsAreLeftAlone() {
    QFETCH(QString, output);
    // Opened for writing, a pipe would wait for a reader for ever.
    const QString pipe = path(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EditorApp& app = startOnFilledCard();
    const QString refused = QStringLiteral("Unable to write to the file ") + pipe +
                            QStringLiteral(": Not a regular file");
    if (output == QLatin1String("notes")) {
        chooseMenuItem(app, "printNotes");
        dialogs().expectSaveFile(pipe, kPdfFilter);
        dialogs().expectMessage(refused);
        click(notesWindow(app), "printToFileButton");
    } else {
        chooseMenuItem(app, "printCard");
        QDialog& window = cardWindow(app);
        if (output == QLatin1String("card")) {
            dialogs().expectSaveFile(pipe, kPdfFilter);
            dialogs().expectMessage(refused);
            click(window, "printToFileButton");
        } else if (output == QLatin1String("printer")) {
            dialogs().expectDialog(QStringLiteral("Print"), [&pipe](QDialog& dialog) {
                auto* print = qobject_cast<QPrintDialog*>(&dialog);
                if (!print) return int(QDialog::Rejected);
                print->printer()->setOutputFileName(pipe);
                return int(QDialog::Accepted);
            });
            dialogs().expectMessage(refused);
            click(window, "printButton");
        } else {
            click(window, "previewButton");
            ReportPreviewWindow* preview = shownPreview(app, QStringLiteral("Print preview"));
            QVERIFY(preview);
            dialogs().expectSaveFile(pipe, ReportArchive::fileFilter());
            dialogs().expectMessage(refused);
            triggerTool(*preview, "saveArchive");
        }
    }
    session().verifyDialogs();
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(pipe).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
}

void PrintWindowsTest::notesPrintOnThePaperTheCardStored() {
    // The paper of the last run is "Legal"; the card's layout is A4.
    EditorApp& app = startOnFilledCard("rbPaper=Legal\r\nrbBin=Upper\r\n");
    chooseMenuItem(app, "printNotes");
    printToFile(notesWindow(app), QStringLiteral("notes.pdf"));
    QCOMPARE(pdfPageSize(path(QStringLiteral("notes.pdf"))), QStringLiteral("612 x 1008"));
    chooseMenuItem(app, "printCard");
    printToFile(cardWindow(app), QStringLiteral("card.pdf"));
    QCOMPARE(pdfPageSize(path(QStringLiteral("card.pdf"))), QStringLiteral("842 x 595"));
    // At the end the card's paper and bin are stored for both windows.
    session().stop();
    const IniFile stored(session().settings().iniPath());
    QCOMPARE(stored.readString(QStringLiteral("rbPaper"), {}), QStringLiteral("A4"));
    QCOMPARE(stored.readString(QStringLiteral("rbBin"), {}), QStringLiteral("Upper"));
}

ZQW_GUI_TEST(PrintWindowsTest)
#include "printwindows_test.moc"
