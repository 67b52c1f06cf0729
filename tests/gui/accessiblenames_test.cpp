// What a screen reader is told: every field of every dialog has a name (its
// own or a label's), and the cell being typed in is named by its line and
// column, with the suits of its text said as words. The names are read
// through the same accessibility interfaces the desktop's bridge reads.

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QRegularExpression>
#include <QTest>

#include "dialogs/cardfontdialog.h"
#include "dialogs/finddialog.h"
#include "dialogs/notenumberdialog.h"
#include "dialogs/notesfontdialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/suitsymbolsdialog.h"
#include "guitestsupport.h"
#include "printing/printlayoutdialog.h"
#include "prompts/columneditdialog.h"
#include "prompts/promptlistwindow.h"
#include "render/printlayoutsettings.h"

namespace {

constexpr int kOpeningsGroup = 5;
constexpr int kMeaningColumn = 4;

enum class Window {
    CardFont,
    NotesFont,
    SuitSymbols,
    Find,
    Replace,
    NoteNumber,
    PrintLayout,
    ColumnEdit,
    PromptList
};

// What a user works with, and so what must have a name.
bool isControl(const QAccessibleInterface& control) {
    switch (control.role()) {
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::ComboBox:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::Button:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Graphic:
            return true;
        default:
            return false;
    }
}

// The controls of a window that a screen reader could not name (no name of
// their own and no label that names them) or would name in brackets.
QStringList unnamedControls(QWidget& window) {
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The parts of a spin box or a list box are the box's.
        QWidget* parent = widget->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)) continue;
        if (!widget->isVisibleTo(&window)) continue;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        if (!control || !isControl(*control)) continue;
        // A picture would be called after the group it sits in; what it
        // shows is its own name's to say.
        const bool named = control->role() == QAccessible::Graphic
                               ? !widget->accessibleName().isEmpty()
                               : !control->text(QAccessible::Name).trimmed().isEmpty() ||
                                     !control->relations(QAccessible::Label).isEmpty();
        // The card font's suit characters would be read as brackets.
        const bool readsBrackets =
            control->text(QAccessible::Name).contains(QRegularExpression(QStringLiteral("[][{}]")));
        if (!named || readsBrackets) {
            unnamed << QStringLiteral("%1 (%2)").arg(
                widget->objectName(), QLatin1String(widget->metaObject()->className()));
        }
    }
    return unnamed;
}

}  // namespace

class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void everyFieldIsNamed_data();
    void everyFieldIsNamed();
    void theCellBeingTypedInIsNamed();
};

void AccessibleNamesTest::everyFieldIsNamed_data() {
    QTest::addColumn<Window>("window");
    QTest::newRow("card font") << Window::CardFont;
    QTest::newRow("notes font") << Window::NotesFont;
    QTest::newRow("suit symbols") << Window::SuitSymbols;
    QTest::newRow("find") << Window::Find;
    QTest::newRow("replace") << Window::Replace;
    QTest::newRow("note number") << Window::NoteNumber;
    QTest::newRow("print layout") << Window::PrintLayout;
    QTest::newRow("column edit") << Window::ColumnEdit;
    QTest::newRow("prompt list") << Window::PromptList;
}

void AccessibleNamesTest::everyFieldIsNamed() {
    QFETCH(Window, window);
    ScriptedDialogs dialogs;
    PrintLayoutSettings layout;
    std::unique_ptr<QWidget> shown;
    switch (window) {
        case Window::CardFont:
            shown = std::make_unique<CardFontDialog>();
            break;
        case Window::NotesFont:
            shown = std::make_unique<NotesFontDialog>();
            break;
        case Window::SuitSymbols: {
            auto symbols = std::make_unique<SuitSymbolsDialog>();
            symbols->setSymbols(QFont(QStringLiteral("CardArial")), zqw::SuitChars{});
            shown = std::move(symbols);
            break;
        }
        case Window::Find:
            shown = std::make_unique<FindDialog>();
            break;
        case Window::Replace:
            shown = std::make_unique<ReplaceDialog>();
            break;
        case Window::NoteNumber:
            shown = std::make_unique<NoteNumberDialog>();
            break;
        case Window::PrintLayout:
            shown = std::make_unique<PrintLayoutDialog>(layout, dialogs);
            break;
        case Window::ColumnEdit:
            shown = std::make_unique<ColumnEditDialog>();
            break;
        case Window::PromptList: {
            auto list = std::make_unique<PromptListWindow>();
            list->setPrompts({QStringLiteral("1] 5+ cards"), QStringLiteral("Natural")});
            shown = std::move(list);
            break;
        }
    }
    shown->show();
    const QStringList unnamed = unnamedControls(*shown);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    QVERIFY(dialogs.log().isEmpty());
}

void AccessibleNamesTest::theCellBeingTypedInIsNamed() {
    EditorSession session;
    EditorApp& app = session.start();
    app.sectionView().selectGroup(kOpeningsGroup);
    CardGrid& grid = app.sectionView().grid(1);
    // Row 3 is the 1 heart opening. The editor, which has the keyboard,
    // says where it is; its text is read as typed, so its description says
    // the suits as words.
    QLineEdit* editor = editCell(app, 1, 3, kMeaningColumn);
    QVERIFY(editor);
    QAccessibleInterface* typing = QAccessible::queryAccessibleInterface(editor);
    QCOMPARE(typing->text(QAccessible::Name), QStringLiteral("1 hearts, Meaning"));
    typeIntoCell(app, 1, QStringLiteral("5+], 4[ possible"));
    QCOMPARE(typing->text(QAccessible::Description), QStringLiteral("5+hearts, 4 spades possible"));
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(app.sectionView().grid(1).activeRow(), 4);

    // The stored answer, read as a screen reader reads the table.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    QVERIFY(table);
    QAccessibleInterface* cell = table->cellAt(2, kMeaningColumn);
    QCOMPARE(cell->text(QAccessible::Name),
             QStringLiteral("1 hearts, Meaning: 5+hearts, 4 spades possible"));
    QAccessibleTableCellInterface* place = cell->tableCellInterface();
    QCOMPARE(place->rowHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("1 hearts"));
    QCOMPARE(place->columnHeaderCells().value(0)->text(QAccessible::Name),
             QStringLiteral("Meaning"));
    // An empty answer is said to be blank, a label to be one.
    QCOMPARE(table->cellAt(0, kMeaningColumn)->text(QAccessible::Name),
             QStringLiteral("1 clubs, Meaning: blank"));
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("1 clubs"));
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Description), QStringLiteral("Line label"));
    session.verifyDialogs();
}

QTEST_MAIN(AccessibleNamesTest)
#include "accessiblenames_test.moc"
