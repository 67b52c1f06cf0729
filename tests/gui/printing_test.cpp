#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <functional>
#include <memory>

#include "card/plainnotes.h"
#include "dialogs/cardfontdialog.h"
#include "dialogs/notesfontdialog.h"
#include "dialogs/suitsymbolsdialog.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "platform/inifile.h"
#include "printing/printlayoutdialog.h"
#include "render/printlayoutsettings.h"

using Edit = std::function<void(QDialog&)>;
Q_DECLARE_METATYPE(Edit)

namespace {

template <typename T>
T& child(const QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control named %s", name);
    return *found;
}

QComboBox& list(const QWidget& w, const char* name) { return child<QComboBox>(w, name); }
QLineEdit& field(const QWidget& w, const char* name) { return child<QLineEdit>(w, name); }
QCheckBox& box(const QWidget& w, const char* name) { return child<QCheckBox>(w, name); }
QPushButton& button(const QWidget& w, const char* name) { return child<QPushButton>(w, name); }
QString labelText(const QWidget& w, const char* name) { return child<QLabel>(w, name).text(); }

QAbstractButton* symbolChoice(const QWidget& w, const QString& caption) {
    for (QAbstractButton* choice :
         child<QGroupBox>(w, "suitPrintMode").findChildren<QAbstractButton*>()) {
        if (choice->text() == caption) return choice;
    }
    qFatal("no symbol choice %s", qPrintable(caption));
}

QString checkedSymbolChoice(const QWidget& w) {
    for (QAbstractButton* choice :
         child<QGroupBox>(w, "suitPrintMode").findChildren<QAbstractButton*>()) {
        if (choice->isChecked()) return choice->text();
    }
    return QStringLiteral("(none)");
}

// Everything the layout window shows, in one line, so a test compares all
// controls at once.
QString controlsState(const QWidget& w) {
    QStringList parts;
    for (const char* name : {"unitOfMeasure", "orientation", "layoutColumns", "paperSize"}) {
        parts << list(w, name).currentText();
    }
    parts << checkedSymbolChoice(w);
    for (const char* name : {"openBidsOnAllLines", "newPageForNote", "newPageForBrownSticker"}) {
        parts << (box(w, name).isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
    }
    for (const char* name : {"topMargin", "bottomMargin", "leftMargin", "rightMargin"})
        parts << field(w, name).text();
    return parts.join(QLatin1Char('|'));
}

void typeInto(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

void selectText(QComboBox& combo, const QString& text) {
    const int index = combo.findText(text);
    if (index < 0) qFatal("no entry %s", qPrintable(text));
    combo.setCurrentIndex(index);
}

double marginIn(PrintLayoutSettings& layout, zqw::LengthUnit unit,
                double (zqw::CardPageSetup::*margin)() const) {
    zqw::CardPageSetup& page = layout.pageSetup();
    const zqw::LengthUnit before = page.unit();
    page.setUnit(unit);
    const double value = (page.*margin)();
    page.setUnit(before);
    return value;
}

double topInches(PrintLayoutSettings& layout) {
    return marginIn(layout, zqw::LengthUnit::Inches, &zqw::CardPageSetup::topMargin);
}

// The card, settings and scripted dialogs a layout window lives with.
struct LayoutFixture {
    IsolatedSettings isolation;
    IniFile settings{isolation.iniPath()};
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card{messages, notes};
    ScriptedDialogs dialogs;
    std::unique_ptr<PrintLayoutSettings> settingsRead;
    std::unique_ptr<PrintLayoutDialog> window;

    PrintLayoutSettings& layout() { return *settingsRead; }

    // Start-up: the stored layout is read (its messages shown), then the
    // window is made.
    void create() {
        window.reset();
        settingsRead = std::make_unique<PrintLayoutSettings>();
        for (const QString& message : settingsRead->read(settings)) dialogs.message(message);
        window = std::make_unique<PrintLayoutDialog>(*settingsRead, dialogs);
    }
    // Shutdown: the layout is written back.
    void destroy() { settingsRead->write(settings); }
    // Shows the window as the main window does and runs the handler in it;
    // the messages are those the handler's actions should bring up.
    int open(const std::function<int(QDialog&)>& handler, const QStringList& messages = {}) {
        dialogs.expectDialog(QStringLiteral("Convention card print options and layout"), handler);
        for (const QString& text : messages) dialogs.expectMessage(text);
        return dialogs.execDialog(*window);
    }
};

int clickDone(QDialog& w) {
    button(w, "doneButton").click();
    return w.result();
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void layoutDefaultsWithoutSettings();
    void storedLayoutSelectsControls_data();
    void storedLayoutSelectsControls();
    void sizeLabelsShowThePaperInTheUnit();
    void unitSwitchShowsMillimetresAndIsStored();
    void formDestroyWritesEveryKey();
    void storedLayoutRoundTrips();
    void resetReturnsToActivation_data();
    void resetReturnsToActivation();
    void closeBoxKeepsPaperButNotMargins();
    void unreadableMarginAtDone_data();
    void unreadableMarginAtDone();
    void unusableStoredMargin();
    void impossibleMarginsAreRefused_data();
    void impossibleMarginsAreRefused();
    void paperTooSmallForTheMarginsIsRefused();
    void suitPicturesAreDrawn_data();
    void suitPicturesAreDrawn();

    void cardFontDialogOpensOnDisplayFont_data();
    void cardFontDialogOpensOnDisplayFont();
    void cardFontDialogOk_data();
    void cardFontDialogOk();
    void cardFontDialogCancelChangesNothing();
    void notesFontDialogChangesOnlyTheSize();
    void symbolDialogShowsAndReturnsCodes();
};

void PrintingTest::layoutDefaultsWithoutSettings() {
    LayoutFixture f;
    f.create();
    const PrintLayoutDialog& w = *f.window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Convention card print options and layout"));
    QCOMPARE(controlsState(w),
             QStringLiteral("Inches|Landscape|3|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25"));
    QCOMPARE(f.layout().layoutColumns(), 3);
    QCOMPARE(f.layout().suitModeIndex(), 2);
    QVERIFY(f.layout().openBidsOnAllLines());
    QVERIFY(!f.layout().newPageForEachNote());
    QVERIFY(f.layout().newPageForBrownSticker());
    QVERIFY(button(w, "doneButton").isDefault());

    const zqw::CardPageSetup& page = f.layout().pageSetup();
    QCOMPARE(page.paperName(), std::string("A4"));
    QCOMPARE(page.binName(), std::string("Default"));
    QCOMPARE(page.orientation(), zqw::PageOrientation::Landscape);
    QCOMPARE(page.unit(), zqw::LengthUnit::PrinterPixels);
    QCOMPARE(topInches(f.layout()), 0.25);
    QCOMPARE(marginIn(f.layout(), zqw::LengthUnit::Inches, &zqw::CardPageSetup::rightMargin), 0.25);
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::storedLayoutSelectsControls_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("layoutColumns");
    QTest::addColumn<QString>("message");  // shown at start-up; empty for none

    QTest::newRow("one column") << "columns"
                                << "0"
                                << "Inches|Landscape|1|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25" << 1
                                << QString();
    QTest::newRow("two columns") << "columns"
                                 << "1"
                                 << "Inches|Landscape|2|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25" << 2
                                 << QString();
    QTest::newRow("portrait") << "Orient"
                              << "0"
                              << "Inches|Portrait|3|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25" << 3
                              << QString();
    QTest::newRow("millimetres") << "Unit"
                                 << "1"
                                 << "Milimeters|Landscape|3|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25"
                                 << 3 << QString();
    QTest::newRow("sheet in small letters")
        << "Sheet"
        << "a5"
        << "Inches|Landscape|3|A5|Fonts|on|off|on|0.25|0.25|0.25|0.25" << 3 << QString();
    QTest::newRow("unknown sheet")
        << "Sheet"
        << "Napkin"
        << "Inches|Landscape|3|A4|Fonts|on|off|on|0.25|0.25|0.25|0.25" << 3
        << QStringLiteral("The paper size \"Napkin\" is not known: the card prints on A4.");
    QTest::newRow("bit maps") << "BitMap"
                              << "0"
                              << "Inches|Landscape|3|A4|Bit maps|on|off|on|0.25|0.25|0.25|0.25" << 3
                              << QString();
    QTest::newRow("no opening bids")
        << "OpenBids"
        << "0"
        << "Inches|Landscape|3|A4|Fonts|off|off|on|0.25|0.25|0.25|0.25" << 3 << QString();
    QTest::newRow("new note") << "NewNote"
                              << "1"
                              << "Inches|Landscape|3|A4|Fonts|on|on|on|0.25|0.25|0.25|0.25" << 3
                              << QString();
    QTest::newRow("bottom margin")
        << "Bottomm"
        << "150"
        << "Inches|Landscape|3|A4|Fonts|on|off|on|0.25|1.50|0.25|0.25" << 3 << QString();
}

void PrintingTest::storedLayoutSelectsControls() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, state);
    QFETCH(int, layoutColumns);
    QFETCH(QString, message);
    LayoutFixture f;
    f.settings.writeString(key, value);
    if (!message.isEmpty()) f.dialogs.expectMessage(message);
    f.create();
    QCOMPARE(controlsState(*f.window), state);
    QCOMPARE(f.layout().layoutColumns(), layoutColumns);
    QCOMPARE(QString::fromStdString(f.layout().pageSetup().paperName()),
             list(*f.window, "paperSize").currentText());

    // A narrow section prints in one layout column's share of the page; in
    // one layout column that is the whole printable width.
    f.card.sections.resize(1);
    f.card.sections[0].columnCount = 4;
    const int columnWidth =
        f.layout().printColumnWidth(f.card, 0, zqw::CardPageSetup::kDefaultScreenDpi);
    zqw::CardPageSetup& page = f.layout().pageSetup();
    page.setUnit(zqw::LengthUnit::ScreenPixels);
    QCOMPARE(columnWidth, page.printableWidth() / layoutColumns);
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::sizeLabelsShowThePaperInTheUnit() {
    LayoutFixture f;
    f.settings.writeInt(QStringLiteral("Unit"), 1);
    f.create();
    zqw::CardPageSetup& page = f.layout().pageSetup();
    page.setUnit(zqw::LengthUnit::Millimetres);
    page.setPaperWidth(297.01);
    page.setPaperHeight(209.97);
    f.open([](QDialog& w) {
        [&] {
            QCOMPARE(labelText(w, "pageWidth"), QStringLiteral("Page width 297.01"));
            QCOMPARE(labelText(w, "pageHeight"), QStringLiteral("Page height 209.97"));
            QCOMPARE(labelText(w, "columnWidth"), QStringLiteral("Column width 99.00"));
            // Only the column width follows the column count.
            list(w, "layoutColumns").setCurrentIndex(0);
            QCOMPARE(labelText(w, "columnWidth"), QStringLiteral("Column width 297.01"));
            QCOMPARE(labelText(w, "pageWidth"), QStringLiteral("Page width 297.01"));
            // Portrait swaps the sizes at once.
            list(w, "orientation").setCurrentIndex(0);
            QCOMPARE(labelText(w, "pageWidth"), QStringLiteral("Page width 209.97"));
            QCOMPARE(labelText(w, "pageHeight"), QStringLiteral("Page height 297.01"));
        }();
        return static_cast<int>(QDialog::Rejected);
    });
    QCOMPARE(f.layout().layoutColumns(), 1);
    QCOMPARE(f.layout().pageSetup().orientation(), zqw::PageOrientation::Portrait);
    QCOMPARE(f.layout().pageSetup().unit(), zqw::LengthUnit::PrinterPixels);
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::unitSwitchShowsMillimetresAndIsStored() {
    LayoutFixture f;
    f.create();
    const int result = f.open([](QDialog& w) {
        [&] {
            QCOMPARE(labelText(w, "pageWidth"), QStringLiteral("Page width 11.69"));
            list(w, "unitOfMeasure").setCurrentIndex(1);
            for (const char* name : {"topMargin", "bottomMargin", "leftMargin", "rightMargin"}) {
                QCOMPARE(field(w, name).text(), QStringLiteral("6.35"));
            }
            QCOMPARE(labelText(w, "pageWidth"), QStringLiteral("Page width 297.00"));
        }();
        return clickDone(w);
    });
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
    f.destroy();
    QCOMPARE(f.settings.readInt(QStringLiteral("unit"), -1), 1);
    QCOMPARE(f.settings.readInt(QStringLiteral("topm"), -1), 635);
    QCOMPARE(f.settings.readInt(QStringLiteral("Bottomm"), -1), 635);
    QVERIFY(f.settings.text().contains(QStringLiteral("\nunit=1\n")));
    QVERIFY(f.settings.text().contains(QStringLiteral("\nbottomm=635\n")));
    QCOMPARE(f.layout().pageSetup().unit(), zqw::LengthUnit::PrinterPixels);
    QCOMPARE(f.dialogs.failures(), QStringList());
    QCOMPARE(f.dialogs.pending(), 0);
}

void PrintingTest::formDestroyWritesEveryKey() {
    LayoutFixture f;
    f.create();
    f.destroy();
    const struct {
        const char* key;
        const char* value;
    } expected[] = {{"NewNote", "0"}, {"Brown", "1"},    {"OpenBids", "1"}, {"BitMap", "2"},
                    {"unit", "0"},    {"Orient", "1"},   {"columns", "2"},  {"Sheet", "A4"},
                    {"topm", "25"},   {"bottomm", "25"}, {"leftm", "25"},   {"rightm", "25"}};
    const QStringList lines = f.settings.text().split(QLatin1Char('\n'));
    for (const auto& entry : expected) {
        const QString line =
            QLatin1String(entry.key) + QLatin1Char('=') + QLatin1String(entry.value);
        QVERIFY2(lines.contains(line), qPrintable(line));
    }
}

void PrintingTest::storedLayoutRoundTrips() {
    LayoutFixture f;
    f.settings.writeInt(QStringLiteral("Unit"), 1);
    f.create();
    f.open([](QDialog& w) {
        list(w, "orientation").setCurrentIndex(0);
        list(w, "layoutColumns").setCurrentIndex(0);
        selectText(list(w, "paperSize"), QStringLiteral("A5"));
        symbolChoice(w, QStringLiteral("Letters (SHDC)"))->click();
        box(w, "openBidsOnAllLines").setChecked(false);
        box(w, "newPageForNote").setChecked(true);
        box(w, "newPageForBrownSticker").setChecked(false);
        typeInto(field(w, "topMargin"), QStringLiteral("12.5"));
        typeInto(field(w, "bottomMargin"), QStringLiteral("0"));
        typeInto(field(w, "leftMargin"), QStringLiteral("100"));
        typeInto(field(w, "rightMargin"), QStringLiteral("7.05"));
        return clickDone(w);
    });
    const QString state = controlsState(*f.window);
    QCOMPARE(state,
             QStringLiteral("Milimeters|Portrait|1|A5|Letters (SHDC)|off|on|off|12.5|0|100|7.05"));
    f.destroy();
    QCOMPARE(f.settings.readInt(QStringLiteral("topm"), -1), 1250);
    QCOMPARE(f.settings.readInt(QStringLiteral("rightm"), -1), 705);

    f.create();
    QCOMPARE(controlsState(*f.window),
             QStringLiteral(
                 "Milimeters|Portrait|1|A5|Letters (SHDC)|off|on|off|12.50|0.00|100.00|7.05"));
    QCOMPARE(f.layout().suitModeIndex(), 1);
    QCOMPARE(f.layout().layoutColumns(), 1);
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::resetReturnsToActivation_data() {
    QTest::addColumn<Edit>("edit");
    QTest::newRow("unit") << Edit([](QDialog& w) { list(w, "unitOfMeasure").setCurrentIndex(1); });
    QTest::newRow("orientation") << Edit(
        [](QDialog& w) { list(w, "orientation").setCurrentIndex(0); });
    QTest::newRow("columns") << Edit(
        [](QDialog& w) { list(w, "layoutColumns").setCurrentIndex(0); });
    QTest::newRow("paper") << Edit(
        [](QDialog& w) { selectText(list(w, "paperSize"), QStringLiteral("A3")); });
    QTest::newRow("symbols") << Edit(
        [](QDialog& w) { symbolChoice(w, QStringLiteral("Bit maps"))->click(); });
    QTest::newRow("open bids") << Edit([](QDialog& w) { box(w, "openBidsOnAllLines").click(); });
    QTest::newRow("new note") << Edit([](QDialog& w) { box(w, "newPageForNote").click(); });
    QTest::newRow("brown sticker")
        << Edit([](QDialog& w) { box(w, "newPageForBrownSticker").click(); });
    QTest::newRow("margin") << Edit(
        [](QDialog& w) { typeInto(field(w, "leftMargin"), QStringLiteral("1.5")); });
    QTest::newRow("everything") << Edit([](QDialog& w) {
        list(w, "unitOfMeasure").setCurrentIndex(1);
        list(w, "orientation").setCurrentIndex(0);
        list(w, "layoutColumns").setCurrentIndex(1);
        selectText(list(w, "paperSize"), QStringLiteral("A3"));
        symbolChoice(w, QStringLiteral("Letters (SHDC)"))->click();
        box(w, "newPageForNote").click();
        typeInto(field(w, "topMargin"), QStringLiteral("3"));
    });
}

void PrintingTest::resetReturnsToActivation() {
    QFETCH(Edit, edit);
    LayoutFixture f;
    f.create();
    f.open([&](QDialog& w) {
        const QString atActivation = controlsState(w);
        edit(w);
        if (controlsState(w) == atActivation) qFatal("the edit changed nothing");
        button(w, "resetButton").click();
        [&] { QVERIFY(w.isVisible()); }();
        [&] { QCOMPARE(controlsState(w), atActivation); }();
        return static_cast<int>(QDialog::Rejected);
    });
    // Reset applied the activation state, not just showed it.
    const zqw::CardPageSetup& page = f.layout().pageSetup();
    QCOMPARE(page.paperName(), std::string("A4"));
    QCOMPARE(page.orientation(), zqw::PageOrientation::Landscape);
    QCOMPARE(f.layout().layoutColumns(), 3);
    QCOMPARE(f.layout().suitModeIndex(), 2);
    QCOMPARE(marginIn(f.layout(), zqw::LengthUnit::Inches, &zqw::CardPageSetup::leftMargin), 0.25);
    f.destroy();
    QCOMPARE(f.settings.readInt(QStringLiteral("unit"), -1), 0);
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::closeBoxKeepsPaperButNotMargins() {
    LayoutFixture f;
    f.create();
    const int result = f.open([](QDialog& w) {
        selectText(list(w, "paperSize"), QStringLiteral("A5"));
        typeInto(field(w, "topMargin"), QStringLiteral("2"));
        w.reject();
        return w.result();
    });
    QCOMPARE(result, static_cast<int>(QDialog::Rejected));
    QCOMPARE(f.layout().pageSetup().paperName(), std::string("A5"));
    QCOMPARE(topInches(f.layout()), 0.25);
    // The next activation shows the page setup's margin again.
    f.open([](QDialog& w) {
        [&] { QCOMPARE(field(w, "topMargin").text(), QStringLiteral("0.25")); }();
        return static_cast<int>(QDialog::Rejected);
    });
    QCOMPARE(f.dialogs.failures(), QStringList());
}

void PrintingTest::unreadableMarginAtDone_data() {
    QTest::addColumn<QString>("badField");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("applied");

    QTest::newRow("top empty") << "topMargin"
                               << "" << 0;
    QTest::newRow("bottom only a point") << "bottomMargin"
                                         << "." << 1;
    QTest::newRow("left over 100") << "leftMargin"
                                   << "100.01" << 2;
    QTest::newRow("right over 100") << "rightMargin"
                                    << "250" << 3;
}

void PrintingTest::unreadableMarginAtDone() {
    QFETCH(QString, badField);
    QFETCH(QString, text);
    QFETCH(int, applied);
    LayoutFixture f;
    f.create();
    const char* names[] = {"topMargin", "bottomMargin", "leftMargin", "rightMargin"};
    const int result = f.open(
        [&](QDialog& w) {
            list(w, "orientation").setCurrentIndex(0);
            for (const char* name : names) {
                QLineEdit& edit = field(w, name);
                typeInto(edit, QLatin1String(name) == badField ? text : QStringLiteral("1.5"));
            }
            return clickDone(w);
        },
        {QStringLiteral("Error: BitBtn1Click")});
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
    QCOMPARE(f.layout().pageSetup().orientation(), zqw::PageOrientation::Portrait);
    double (zqw::CardPageSetup::*margins[])()
        const = {&zqw::CardPageSetup::topMargin, &zqw::CardPageSetup::bottomMargin,
                 &zqw::CardPageSetup::leftMargin, &zqw::CardPageSetup::rightMargin};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(marginIn(f.layout(), zqw::LengthUnit::Inches, margins[i]),
                 i < applied ? 1.5 : 0.25);
    }
    QCOMPARE(f.dialogs.failures(), QStringList());
    QCOMPARE(f.dialogs.pending(), 0);
}

void PrintingTest::impossibleMarginsAreRefused_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("margins");  // top, bottom, left, right
    QTest::addColumn<QString>("message");

    QTest::newRow("left and right wider than portrait A4")
        << 0 << 0 << QString(QStringLiteral("1 1 5 4")).split(u' ')
        << QStringLiteral(
               "The left and right margins (5.00 in and 4.00 in) leave no room to "
               "print across a page 8.27 in wide.");
    QTest::newRow("less than an inch across")
        << 0 << 1 << QString(QStringLiteral("10 10 95 95")).split(u' ')
        << QStringLiteral(
               "The left and right margins (95.00 mm and 95.00 mm) leave no room to "
               "print across a page 210.00 mm wide.");
    QTest::newRow("top and bottom taller than landscape A4")
        << 1 << 0 << QString(QStringLiteral("4 4.5 1 1")).split(u' ')
        << QStringLiteral(
               "The top and bottom margins (4.00 in and 4.50 in) leave no room to "
               "print down a page 8.27 in high.");
}

void PrintingTest::impossibleMarginsAreRefused() {
    QFETCH(int, orientation);
    QFETCH(int, unit);
    QFETCH(QStringList, margins);
    QFETCH(QString, message);
    LayoutFixture f;
    f.create();
    const char* names[] = {"topMargin", "bottomMargin", "leftMargin", "rightMargin"};
    bool stayedOpen = false;
    const int result = f.open(
        [&](QDialog& w) {
            list(w, "orientation").setCurrentIndex(orientation);
            list(w, "unitOfMeasure").setCurrentIndex(unit);
            for (int i = 0; i < 4; ++i) typeInto(field(w, names[i]), margins[i]);
            button(w, "doneButton").click();
            // Refused: the window stays open with what was typed.
            stayedOpen = w.isVisible() && w.result() != QDialog::Accepted &&
                         field(w, "leftMargin").text() == margins[2];
            w.reject();
            return w.result();
        },
        {message});
    QVERIFY(stayedOpen);
    QCOMPARE(result, static_cast<int>(QDialog::Rejected));
    // Nothing was applied, so the page keeps room to print.
    QCOMPARE(marginIn(f.layout(), zqw::LengthUnit::Inches, &zqw::CardPageSetup::leftMargin), 0.25);
    QCOMPARE(marginIn(f.layout(), zqw::LengthUnit::Inches, &zqw::CardPageSetup::topMargin), 0.25);
    QVERIFY(f.layout().pageSetup().printableWidth() > 0);
    QCOMPARE(f.dialogs.failures(), QStringList());
    QCOMPARE(f.dialogs.pending(), 0);
}

void PrintingTest::paperTooSmallForTheMarginsIsRefused() {
    LayoutFixture f;
    f.create();
    // Four inches each side fit landscape A4 (11.69 in across).
    f.open([](QDialog& w) {
        typeInto(field(w, "leftMargin"), QStringLiteral("4"));
        typeInto(field(w, "rightMargin"), QStringLiteral("4"));
        return clickDone(w);
    });
    const QString across = QStringLiteral(
        "The left and right margins (4.00 in and 4.00 in) leave no room to print across a page "
        "%1 in wide.");
    QString orientation;
    QString paper;
    f.open(
        [&](QDialog& w) {
            list(w, "orientation").setCurrentIndex(0);
            orientation = list(w, "orientation").currentText();
            selectText(list(w, "paperSize"), QStringLiteral("A6"));
            paper = list(w, "paperSize").currentText();
            w.reject();
            return w.result();
        },
        {across.arg(QStringLiteral("8.27")), across.arg(QStringLiteral("5.83"))});
    QCOMPARE(orientation, QStringLiteral("Landscape"));
    QCOMPARE(paper, QStringLiteral("A4"));
    QCOMPARE(f.layout().pageSetup().orientation(), zqw::PageOrientation::Landscape);
    QCOMPARE(f.layout().pageSetup().paperName(), std::string("A4"));
    QVERIFY(f.layout().marginProblem().isEmpty());
    QCOMPARE(f.dialogs.failures(), QStringList());
    QCOMPARE(f.dialogs.pending(), 0);
}

void PrintingTest::unusableStoredMargin() {
    LayoutFixture f;
    f.settings.writeInt(QStringLiteral("topm"), 50);
    f.settings.writeInt(QStringLiteral("leftm"), 20000);
    f.settings.writeInt(QStringLiteral("rightm"), 75);
    f.dialogs.expectMessage(QStringLiteral("error: CardDef"));
    f.create();
    // Fields before the bad one take their stored values, the rest keep
    // theirs; the layout is applied anyway.
    QCOMPARE(controlsState(*f.window),
             QStringLiteral("Inches|Landscape|3|A4|Fonts|on|off|on|0.50|0.25|0.25|0.25"));
    QCOMPARE(topInches(f.layout()), 0.5);
    QCOMPARE(f.dialogs.failures(), QStringList());
    QCOMPARE(f.dialogs.pending(), 0);
}

void PrintingTest::suitPicturesAreDrawn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");
    QTest::newRow("club") << "clubPicture" << false;
    QTest::newRow("diamond") << "diamondPicture" << true;
    QTest::newRow("heart") << "heartPicture" << true;
    QTest::newRow("spade") << "spadePicture" << false;
}

void PrintingTest::suitPicturesAreDrawn() {
    QFETCH(QString, name);
    QFETCH(bool, red);
    LayoutFixture f;
    f.create();
    const QLabel* picture = f.window->findChild<QLabel*>(name);
    QVERIFY(picture);
    const QImage image = picture->pixmap().toImage();
    QCOMPARE(image.size(), QSize(11, 12));
    int inked = 0;
    int wrongColour = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 128) continue;
            ++inked;
            if ((pixel.red() > 128) != red || pixel.green() > 128) ++wrongColour;
        }
    }
    QVERIFY2(inked > 10, "the suit symbol was not drawn");
    QCOMPARE(wrongColour, 0);
}

// ---------------------------------------------------------------------------

void PrintingTest::cardFontDialogOpensOnDisplayFont_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("listed");

    QTest::newRow("times") << "CardTimes" << 9 << "Times";
    QTest::newRow("footlight") << "CardFootlight" << 20 << "Footlight";
    QTest::newRow("arial") << "CardArial" << 7 << "Arial";
    QTest::newRow("not a card font") << "Arial" << 10 << "";
    QTest::newRow("card alone") << "Card" << 8 << "";
    QTest::newRow("longer name") << "CardTimesBold" << 8 << "";
}

void PrintingTest::cardFontDialogOpensOnDisplayFont() {
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(QString, listed);
    CardFontDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select convention card font"));
    dialog.setFontChoice(QFont(family, size));
    QCOMPARE(list(dialog, "fontName").currentText(), listed);
    QCOMPARE(child<QSpinBox>(dialog, "fontSize").value(), size);
    const QLabel& sample = child<QLabel>(dialog, "fontSample");
    QCOMPARE(sample.text(), QStringLiteral("ABCDEFGHIabcdefghi123456789"));
    QCOMPARE(sample.font().family(), family);
    QCOMPARE(sample.font().pointSize(), size);
}

void PrintingTest::cardFontDialogOk_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("times to courier") << "CardTimes" << 9 << "Courier" << 12 << "CardCourier";
    QTest::newRow("size only") << "CardArial" << 7 << "" << 20 << "CardArial";
    QTest::newRow("stored plain arial") << "Arial" << 10 << "" << 10 << "Card";
    QTest::newRow("plain arial to footlight")
        << "Arial" << 10 << "Footlight" << 6 << "CardFootlight";
}

void PrintingTest::cardFontDialogOk() {
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(QString, choice);
    QFETCH(int, newSize);
    QFETCH(QString, chosen);
    CardFontDialog dialog;
    ScriptedDialogs dialogs;
    dialog.setFontChoice(QFont(family, size));
    dialogs.expectDialog(QStringLiteral("Select convention card font"), [&](QDialog& w) {
        if (!choice.isEmpty()) selectText(list(w, "fontName"), choice);
        child<QSpinBox>(w, "fontSize").setValue(newSize);
        [&] {
            QCOMPARE(child<QLabel>(w, "fontSample").font().pointSize(), newSize);
            if (!choice.isEmpty()) QCOMPARE(child<QLabel>(w, "fontSample").font().family(), chosen);
            QVERIFY(button(w, "okButton").isDefault());
        }();
        button(w, "okButton").click();
        return w.result();
    });
    QCOMPARE(dialogs.execDialog(dialog), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.chosenFont().family(), chosen);
    QCOMPARE(dialog.chosenFont().pointSize(), newSize);
    QCOMPARE(dialogs.failures(), QStringList());
}

void PrintingTest::cardFontDialogCancelChangesNothing() {
    CardFontDialog dialog;
    ScriptedDialogs dialogs;
    dialog.setFontChoice(QFont(QStringLiteral("CardTimes"), 9));
    dialogs.expectDialog(QStringLiteral("Select convention card font"), [](QDialog& w) {
        selectText(list(w, "fontName"), QStringLiteral("Courier"));
        child<QSpinBox>(w, "fontSize").setValue(12);
        button(w, "cancelButton").click();
        return w.result();
    });
    QCOMPARE(dialogs.execDialog(dialog), static_cast<int>(QDialog::Rejected));
    QCOMPARE(dialog.chosenFont().family(), QStringLiteral("CardTimes"));
    QCOMPARE(dialog.chosenFont().pointSize(), 9);
    // The next opening starts again from the font handed in.
    dialog.setFontChoice(QFont(QStringLiteral("CardTimes"), 9));
    QCOMPARE(list(dialog, "fontName").currentText(), QStringLiteral("Times"));
    QCOMPARE(child<QLabel>(dialog, "fontSample").font().family(), QStringLiteral("CardTimes"));
    QCOMPARE(dialogs.failures(), QStringList());
}

void PrintingTest::notesFontDialogChangesOnlyTheSize() {
    NotesFontDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Notes fixed pitch font"));
    QCOMPARE(labelText(dialog, "fontNameLabel"), QStringLiteral("Font name is \"Courier\" "));
    ScriptedDialogs dialogs;
    for (const bool ok : {false, true}) {
        dialog.setFontChoice(QFont(QStringLiteral("CardCourier"), 8));
        QCOMPARE(child<QSpinBox>(dialog, "fontSize").value(), 8);
        dialogs.expectDialog(QStringLiteral("Notes fixed pitch font"), [ok](QDialog& w) {
            child<QSpinBox>(w, "fontSize").setValue(30);
            [&] { QCOMPARE(child<QLabel>(w, "fontSample").font().pointSize(), 30); }();
            button(w, ok ? "okButton" : "cancelButton").click();
            return w.result();
        });
        QCOMPARE(dialogs.execDialog(dialog),
                 static_cast<int>(ok ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.chosenFont().family(), QStringLiteral("CardCourier"));
        QCOMPARE(dialog.chosenSize(), ok ? 30 : 8);
    }
    QCOMPARE(dialogs.failures(), QStringList());
}

void PrintingTest::symbolDialogShowsAndReturnsCodes() {
    SuitSymbolsDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Card symbol numbers"));
    QCOMPARE(labelText(dialog, "explanation"),
             QStringLiteral(
                 "These character numbers are used to select  the card symbols from the currently "
                 "chosen system card font."));
    ScriptedDialogs dialogs;
    for (const bool ok : {false, true}) {
        dialog.setSymbols(QFont(QStringLiteral("CardArial"), 7), zqw::SuitChars{125, 123, 93, 91});
        QCOMPARE(dialog.font().family(), QStringLiteral("CardArial"));
        QCOMPARE(labelText(dialog, "clubLabel"), QStringLiteral("Club (})"));
        QCOMPARE(labelText(dialog, "diamondLabel"), QStringLiteral("Diamond ({)"));
        QCOMPARE(labelText(dialog, "heartLabel"), QStringLiteral("Heart (])"));
        QCOMPARE(labelText(dialog, "spadeLabel"), QStringLiteral("Spade ([)"));
        dialogs.expectDialog(QStringLiteral("Card symbol numbers"), [ok](QDialog& w) {
            child<QSpinBox>(w, "clubCode").setValue(65);
            child<QSpinBox>(w, "spadeCode").setValue(128);
            [&] {
                QCOMPARE(labelText(w, "clubLabel"), QStringLiteral("Club (A)"));
                QCOMPARE(labelText(w, "spadeLabel"), QStringLiteral("Spade (\u20ac)"));
            }();
            button(w, ok ? "okButton" : "cancelButton").click();
            return w.result();
        });
        QCOMPARE(dialogs.execDialog(dialog),
                 static_cast<int>(ok ? QDialog::Accepted : QDialog::Rejected));
        const zqw::SuitChars chosen = dialog.symbols();
        QCOMPARE(chosen.club, ok ? 65 : 125);
        QCOMPARE(chosen.diamond, 123);
        QCOMPARE(chosen.heart, 93);
        QCOMPARE(chosen.spade, ok ? 128 : 91);
    }
    QCOMPARE(dialogs.failures(), QStringList());
}

ZQW_GUI_TEST(PrintingTest)
#include "printing_test.moc"
