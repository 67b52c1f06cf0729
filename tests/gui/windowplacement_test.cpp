// Where the editor's windows open, and what their menus and title bars let
// a user read: inside the screen, titles whole, one mnemonic per letter.

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "commands/custompromptscommand.h"
#include "commands/helpcommands.h"
#include "dialogs/screenplacement.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "help/helpwindow.h"
#include "printing/reportpreviewwindow.h"
#include "prompts/custompromptswindow.h"

namespace {

QRect availableArea(const QWidget& window) { return window.screen()->availableGeometry(); }

// The window's frame, or its geometry with room for a title bar where the
// platform draws no frame (offscreen).
QRect outerRect(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    return frame != window.geometry() ? frame : window.geometry().adjusted(-4, -32, 4, 4);
}

}  // namespace

class WindowPlacementTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void eachMenuHasOneItemPerMnemonic();
    void windowsOpenInsideTheScreen_data();
    void windowsOpenInsideTheScreen();
    void fontDialogsShowTheirWholeTitle_data();
    void fontDialogsShowTheirWholeTitle();
};

void WindowPlacementTest::eachMenuHasOneItemPerMnemonic() {
    EditorApp& app = session().start();
    QStringList clashes;
    for (QAction* top : app.mainWindow().menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu) continue;
        emit menu->aboutToShow();  // items are shown or hidden as the menu opens
        QMap<QChar, QString> taken;
        for (const QAction* item : menu->actions()) {
            if (item->isSeparator() || !item->isVisible()) continue;
            const QString text = item->text().section(QLatin1Char('\t'), 0, 0);
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at < 0 || at + 1 >= text.size()) continue;
            const QChar letter = text.at(at + 1).toLower();
            if (taken.contains(letter))
                clashes << top->text() + QStringLiteral(": ") + taken[letter] +
                               QStringLiteral(" and ") + text;
            taken[letter] = text;
        }
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
}

void WindowPlacementTest::windowsOpenInsideTheScreen_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("help window") << "help";
    QTest::newRow("print preview") << "preview";
    QTest::newRow("custom prompts") << "custom prompts";
}

void WindowPlacementTest::windowsOpenInsideTheScreen() {
    QFETCH(QString, window);
    EditorApp& app = session().start();
    // The main window near the screen's far corner, as a user may leave it;
    // windows placed from it would run off the screen.
    const QRect area = availableArea(app.mainWindow());
    app.mainWindow().move(area.right() - 200, area.bottom() - 150);
    QWidget* shown = nullptr;
    if (window == QLatin1String("help")) {
        chooseMenuItem(app, "showBasicHelp");
        shown = &app.helpCommands().helpWindow();
    } else if (window == QLatin1String("preview")) {
        chooseMenuItem(app, "printCard");
        auto* print = app.sectionView().findChild<QDialog*>(QStringLiteral("cardPrintWindow"));
        QVERIFY(print);
        print->findChild<QAbstractButton*>(QStringLiteral("previewButton"))->click();
        for (auto* each : app.sectionView().findChildren<ReportPreviewWindow*>()) {
            if (each->isVisible()) shown = each;
        }
    } else {
        chooseMenuItem(app, "toggleCustomPrompts");
        shown = &app.customPromptsCommand().window();
    }
    QVERIFY(shown && shown->isVisible());
    const QRect outer = outerRect(*shown);
    QVERIFY2(area.contains(outer), qPrintable(QStringLiteral("%1,%2 %3x%4 outside %5x%6")
                                                  .arg(outer.x())
                                                  .arg(outer.y())
                                                  .arg(outer.width())
                                                  .arg(outer.height())
                                                  .arg(area.width())
                                                  .arg(area.height())));
    // Opened again after the user moved it off the screen, it comes back.
    shown->hide();
    shown->move(area.right() + 50, area.bottom() + 50);
    shown->show();
    QVERIFY(area.contains(outerRect(*shown)));
}

void WindowPlacementTest::fontDialogsShowTheirWholeTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("item");
    QTest::newRow("card font") << "Select convention card font"
                               << "chooseCardFont";
    QTest::newRow("notes font") << "Notes fixed pitch font"
                                << "chooseNotesFont";
}

void WindowPlacementTest::fontDialogsShowTheirWholeTitle() {
    QFETCH(QString, title);
    QFETCH(QString, item);
    EditorApp& app = session().start();
    int width = 0;
    int needed = 0;
    session().dialogs().expectDialog(title, [&](QDialog& dialog) {
        width = dialog.width();
        // The title in a bold title-bar font, and an icon and three buttons
        // each as wide as the bar is high.
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int bar = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        needed = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 4 * bar;
        return QDialog::Rejected;
    });
    chooseMenuItem(app, item.toLatin1().constData());
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

ZQW_GUI_TEST(WindowPlacementTest)
#include "windowplacement_test.moc"
