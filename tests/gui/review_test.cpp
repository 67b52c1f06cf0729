// The three review items driven as a user drives them: File > "Compare
// with…" with its list, going to a cell and "Take theirs" undone; Options >
// "Check card…" with its list, and Produce stopping at its errors; File >
// "Export as web page…" writing the page.

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

using Answer = UserDialogs::Answer;

const QString kOpenFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kCheckQuestion =
    QStringLiteral("The check of the card found errors. Do you wish to see them first?");

QWidget* topLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name) return widget;
    }
    return nullptr;
}

QStringList rowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    QTreeWidgetItem* item = list->topLevelItem(row);
    for (int c = 0; item && c < list->columnCount(); ++c) texts << item->text(c);
    return texts;
}

// Enter on a list's item, as a user chooses it.
void activate(QTreeWidget* list, int row) {
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(row));
    QTest::keyClick(list, Qt::Key_Return);
}

// Whether a list cell is drawn with red in it.
bool redPixels(QTreeWidget* list, int row, int column) {
    const QImage image = list->viewport()->grab().toImage();
    const QRect rowRect = list->visualItemRect(list->topLevelItem(row));
    const QRect cell(list->header()->sectionViewportPosition(column), rowRect.top(),
                     list->header()->sectionSize(column), rowRect.height());
    const qreal scale = image.devicePixelRatio();
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(QPoint(int(x * scale), int(y * scale)));
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90) return true;
        }
    }
    return false;
}

QString firstField(EditorApp& app, int section, int row, int field) {
    const zqw::Card& card = app.document().card();
    return QString::fromStdString(card.field(card.findGridRow(section, 1, row), 1, field));
}

}  // namespace

class ReviewTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void compareGoesToTheCellAndTakesTheirsAsOneUndoableChange();
    void checkListsTheFindingsAndProduceOffersThemFirst();
    void exportWritesTheCardAsAWebPage();
    void exportSaysWhatTheNotesCouldNotKeep();
    void theItemsNeedAnOpenCard();

private:
    EditorApp& openCard(const QString& firstAnswer,
                        const QString& fileName = QStringLiteral("mine.ccf")) {
        const QString mine = session().path(fileName);
        writeCardFile(mine, firstAnswer);
        EditorApp& app = session().start();
        session().dialogs().expectOpenFile(mine, kOpenFilter);
        chooseMenuItem(app, "openCard");
        return app;
    }
};

void ReviewTest::compareGoesToTheCellAndTakesTheirsAsOneUndoableChange() {
    EditorApp& app = openCard(QStringLiteral("12 / 34"));
    const QString theirs = session().path(QStringLiteral("theirs.ccf"));
    writeCardFile(theirs, QStringLiteral("12 / 3\x04"));  // a diamond in their copy
    session().dialogs().expectOpenFile(theirs, kCardFilter);
    chooseMenuItem(app, "compareWithCard");

    QWidget* window = topLevel(QStringLiteral("compareWindow"));
    QVERIFY(window && window->isVisible());
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("differences"));
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(rowTexts(list, 0),
             (QStringList{QStringLiteral("Players"), QStringLiteral("Partnership"),
                          QStringLiteral("KHF numbers"), QString(), QStringLiteral("1"),
                          QStringLiteral("12 / 34"), QStringLiteral("12 / 3\u2666")}));

    // Their diamond is red, my plain text is not (a selected row keeps the
    // selection colours).
    list->clearSelection();
    QCOMPARE(redPixels(list, 0, 6), true);
    QCOMPARE(redPixels(list, 0, 5), false);

    // Going there shows my card's cell, wherever the view was.
    app.sectionView().selectGroup(3);
    activate(list, 0);
    QCOMPARE(app.sectionView().activeGroup(), 0);
    QCOMPARE(app.sectionView().currentSection(), 0);
    QCOMPARE(app.sectionView().grid(1).activeRow(), 1);
    QCOMPARE(app.sectionView().grid(1).activeColumn(), 1);

    list->setCurrentItem(list->topLevelItem(0));
    auto* take = window->findChild<QPushButton*>(QStringLiteral("takeTheirs"));
    QVERIFY(take && take->isEnabled());
    QTest::mouseClick(take, Qt::LeftButton);
    QCOMPARE(firstField(app, 0, 1, 2), QStringLiteral("12 / 3\x04"));
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("12 / 3{"));
    QVERIFY(app.document().isModified());
    QCOMPARE(list->topLevelItemCount(), 0);
    QVERIFY(window->findChild<QLabel*>(QStringLiteral("summary"))
                ->text()
                .startsWith(QStringLiteral("The cards are the same")));

    // One step back: my answer, and the difference listed again.
    QCOMPARE(app.document().undoStack().undoText(), QStringLiteral("Take theirs"));
    app.document().undoStack().undo();
    QCOMPARE(firstField(app, 0, 1, 2), QStringLiteral("12 / 34"));
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("12 / 34"));
    QCOMPARE(list->topLevelItemCount(), 1);
    QVERIFY(!app.document().isModified());
}

void ReviewTest::checkListsTheFindingsAndProduceOffersThemFirst() {
    // The card's first answer is the KHF numbers; its names are empty.
    EditorApp& app = openCard(QStringLiteral("12 / 34"));
    chooseMenuItem(app, "checkCard");
    QWidget* window = topLevel(QStringLiteral("checkWindow"));
    QVERIFY(window && window->isVisible());
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("findings"));
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(
        rowTexts(list, 0),
        (QStringList{QStringLiteral("Error"), QStringLiteral("The partnership names are empty"),
                     QStringLiteral("Players > Partnership, row 2 (Names)")}));
    app.sectionView().selectGroup(2);
    activate(list, 0);
    QCOMPARE(app.sectionView().activeGroup(), 0);
    QCOMPARE(app.sectionView().grid(1).activeRow(), 2);
    window->close();

    // Produce asks first; Yes shows the findings and makes no package.
    session().dialogs().expectQuestion(kCheckQuestion, Answer::Yes);
    chooseMenuItem(app, "producePackage");
    QVERIFY(window->isVisible());
    // No goes on to the package's file dialog (cancelled here).
    session().dialogs().expectQuestion(kCheckQuestion, Answer::No);
    session().dialogs().expectSaveFile(std::nullopt);
    chooseMenuItem(app, "producePackage");
    // E-mail asks as well; Cancel stops there.
    session().dialogs().expectQuestion(kCheckQuestion, Answer::Cancel);
    chooseMenuItem(app, "emailPackage");

    // With the names typed in, the check finds nothing and Produce asks
    // nothing more than its file.
    editCell(app, 1, 2, 1);
    typeIntoCell(app, 1, QStringLiteral("A & B"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("checkAgain")),
                      Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 0);
    session().dialogs().expectSaveFile(std::nullopt);
    chooseMenuItem(app, "producePackage");
}

void ReviewTest::exportWritesTheCardAsAWebPage() {
    EditorApp& app = openCard(QStringLiteral("<b>12</b> & 3\x06"));
    const QString page = session().path(QStringLiteral("card.html"));
    session().dialogs().expectSaveFile(page, QStringLiteral("Web pages (*.html)|*.html"));
    chooseMenuItem(app, "exportWebPage");
    QCOMPARE(session().dialogs().lastFileRequest().fileName,
             session().path(QStringLiteral("mine.html")));
    const QByteArray html = readBytes(page);
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    QVERIFY(
        html.contains("<td>&lt;b&gt;12&lt;/b&gt; &amp; 3<span class=\"black\">\xe2\x99\xa0"
                      "</span></td>"));

    // A page that cannot be written is named in a message.
    session().dialogs().expectSaveFile(session().folder().path());
    session().dialogs().expectMessage({});
    chooseMenuItem(app, "exportWebPage");
    QVERIFY(session().dialogs().log().last().startsWith(
        QStringLiteral("message: Unable to write to the file ") + session().folder().path()));
}

void ReviewTest::exportSaysWhatTheNotesCouldNotKeep() {
    EditorApp& app = openCard(QStringLiteral("1"));
    // Text that came into the notes without passing their entry: a suit
    // symbol, a character with a look-alike and one without.
    app.notesEditor().insertPlainText(QStringLiteral("Bid 2\u2663 15\u221217 \u0416"));
    const QString page = session().path(QStringLiteral("card.html"));
    session().dialogs().expectSaveFile(page, QStringLiteral("Web pages (*.html)|*.html"));
    session().dialogs().expectMessage(
        QStringLiteral("Replaced, as a notes file cannot store them: \u2212 by -, \u0416 by ?"));
    chooseMenuItem(app, "exportWebPage");
    // The page holds the notes as their file would: the suit kept as a suit.
    const QByteArray html = readBytes(page);
    QVERIFY2(html.contains("<p>Bid 2<span class=\"black\">\xe2\x99\xa3</span> 15-17 ?</p>"),
             html.constData());
}

void ReviewTest::theItemsNeedAnOpenCard() {
    EditorApp& app = openCard(QStringLiteral("1"));
    const char* items[] = {"compareWithCard", "checkCard", "exportWebPage"};
    chooseMenuItem(app, "closeCard");
    for (const char* item : items) {
        chooseMenuItem(app, item);  // does nothing: no dialog is expected
        QVERIFY2(!MenuActions::itemEnabled(app.action(QString::fromLatin1(item))), item);
    }
    QVERIFY(!topLevel(QStringLiteral("compareWindow")));
    QVERIFY(!topLevel(QStringLiteral("checkWindow")));
}

ZQW_GUI_TEST(ReviewTest)
#include "review_test.moc"
