// What a screen reader is told: every field of every dialog and window has a
// name (its own or a label's), as have its pictures and its tab pages; no
// name or list item is read as the card font's brackets, and text shown in
// the card font has its suits said as words in its description. The cell
// being typed in is named by its line and column. The names are read through
// the same accessibility interfaces the desktop's bridge reads.

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QMimeData>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "commands/helpcommands.h"
#include "commands/printcommands.h"
#include "dialogs/cardfontdialog.h"
#include "dialogs/finddialog.h"
#include "dialogs/notenumberdialog.h"
#include "dialogs/notesfontdialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/suitsymbolsdialog.h"
#include "email/emailpackagedialog.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "help/aboutdialog.h"
#include "help/helpwindow.h"
#include "help/hintswindow.h"
#include "printing/cardprintwindow.h"
#include "printing/notesprintwindow.h"
#include "printing/printlayoutdialog.h"
#include "printing/reportpreviewwindow.h"
#include "prompts/columneditdialog.h"
#include "prompts/custompromptswindow.h"
#include "prompts/promptlistwindow.h"
#include "render/printlayoutsettings.h"

namespace {

constexpr int kOpeningsGroup = 5;
constexpr int kMeaningColumn = 4;
// The bundled hint that shows the suits the keys F5 to F8 type.
constexpr int kSuitKeysHint = 3;

enum class Window {
    CardFontDialog,
    NotesFontDialog,
    SuitSymbols,
    Find,
    Replace,
    NoteNumber,
    PrintLayout,
    ColumnEdit,
    PromptList,
    Email,
    Help,
    Hints,
    About,
    CardPrint,
    NotesPrint,
    PrintPreview,
    CustomPrompts
};

// What a user works with, and so what must have a name. A view the user
// scrolls through (the preview's pages) is one too, whatever its class calls
// itself.
bool isControl(const QWidget& widget, const QAccessibleInterface& control) {
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
            return qobject_cast<const QAbstractScrollArea*>(&widget) != nullptr;
    }
}

// A picture, or text that is only symbols standing for one: a screen reader
// would read the symbols one by one, so what it shows is its own name's to
// say.
bool isPicture(const QAccessibleInterface& control) {
    if (control.role() == QAccessible::Graphic) return true;
    if (control.role() != QAccessible::StaticText) return false;
    const QString text = control.text(QAccessible::Name).trimmed();
    return !text.isEmpty() &&
           std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The card font's suit characters would be read as brackets.
bool readsBrackets(const QString& name) {
    return name.contains(QRegularExpression(QStringLiteral("[][{}]")));
}

QString describe(const QWidget& widget) {
    return QStringLiteral("%1 (%2)").arg(widget.objectName(),
                                         QLatin1String(widget.metaObject()->className()));
}

// The controls of a window that a screen reader could not name (no name of
// their own and no label that names them) or would name in brackets, and the
// items of its lists and tables it would read as brackets.
QStringList unnamedControls(QWidget& window) {
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The parts of a spin box or a list box are the box's.
        QWidget* parent = widget->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)) continue;
        if (!widget->isVisibleTo(&window)) continue;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        if (!control) continue;
        if (isPicture(*control)) {
            // A picture would be called after the group it sits in.
            if (widget->accessibleName().isEmpty()) unnamed << describe(*widget);
            continue;
        }
        if (!isControl(*widget, *control)) continue;
        const bool named = !control->text(QAccessible::Name).trimmed().isEmpty() ||
                           !control->relations(QAccessible::Label).isEmpty();
        if (!named || readsBrackets(control->text(QAccessible::Name))) {
            unnamed << describe(*widget);
        }
        // Text in a card font shows suits as brackets, which a screen reader
        // reads as they are: the description says the suits as words.
        if (control->role() == QAccessible::EditableText &&
            widget->font().family().startsWith(QLatin1String("Card")) &&
            readsBrackets(control->text(QAccessible::Value))) {
            const QString said = control->text(QAccessible::Description);
            if (said.isEmpty() || readsBrackets(said))
                unnamed << describe(*widget) + QStringLiteral(" text");
        }
        if (control->role() != QAccessible::List && control->role() != QAccessible::Table) continue;
        for (int i = 0; i < control->childCount(); ++i) {
            const QAccessibleInterface* item = control->child(i);
            if (item && readsBrackets(item->text(QAccessible::Name)))
                unnamed << describe(*widget) + QStringLiteral(" item ") +
                               item->text(QAccessible::Name);
        }
    }
    return unnamed;
}

// The same on every page of the window's tab widgets, each of which should
// be named as its tab, so that a screen reader entering it says which it is.
QStringList unnamedOnEveryPage(QWidget& window) {
    QStringList unnamed = unnamedControls(window);
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            const QString caption = tabs->tabText(page).remove(QLatin1Char('&'));
            const QAccessibleInterface* shown =
                QAccessible::queryAccessibleInterface(tabs->widget(page));
            if (shown->text(QAccessible::Name) != caption)
                unnamed << QStringLiteral("page \"%1\"").arg(caption);
            unnamed << unnamedControls(window);
        }
    }
    unnamed.removeDuplicates();
    return unnamed;
}

// The first header cell's name. Some Qt versions hand header cells out
// without keeping them, as a screen reader's bridge would find them; the
// accessibility cache then takes them, so that none outlives the test.
QString headerName(const QList<QAccessibleInterface*>& cells) {
    for (QAccessibleInterface* cell : cells) {
        if (QAccessible::uniqueId(cell) == 0) QAccessible::registerAccessibleInterface(cell);
    }
    return cells.isEmpty() ? QString() : cells.first()->text(QAccessible::Name);
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
    QTest::newRow("card font") << Window::CardFontDialog;
    QTest::newRow("notes font") << Window::NotesFontDialog;
    QTest::newRow("suit symbols") << Window::SuitSymbols;
    QTest::newRow("find") << Window::Find;
    QTest::newRow("replace") << Window::Replace;
    QTest::newRow("note number") << Window::NoteNumber;
    QTest::newRow("print layout") << Window::PrintLayout;
    QTest::newRow("column edit") << Window::ColumnEdit;
    QTest::newRow("prompt list") << Window::PromptList;
    QTest::newRow("email to KHF") << Window::Email;
    QTest::newRow("help") << Window::Help;
    QTest::newRow("hints") << Window::Hints;
    QTest::newRow("about") << Window::About;
    QTest::newRow("print card") << Window::CardPrint;
    QTest::newRow("print notes") << Window::NotesPrint;
    QTest::newRow("print preview") << Window::PrintPreview;
    QTest::newRow("custom prompts") << Window::CustomPrompts;
}

void AccessibleNamesTest::everyFieldIsNamed() {
    QFETCH(Window, window);
    ScriptedDialogs dialogs;
    PrintLayoutSettings layout;
    // The windows that show the card are the editor's own, made as its
    // commands make them.
    EditorSession session;
    std::unique_ptr<QWidget> owned;
    QWidget* shown = nullptr;
    switch (window) {
        case Window::CardFontDialog:
            owned = std::make_unique<CardFontDialog>();
            break;
        case Window::NotesFontDialog:
            owned = std::make_unique<NotesFontDialog>();
            break;
        case Window::SuitSymbols: {
            auto symbols = std::make_unique<SuitSymbolsDialog>();
            symbols->setSymbols(QFont(QStringLiteral("CardArial")), zqw::SuitChars{});
            owned = std::move(symbols);
            break;
        }
        case Window::Find:
            owned = std::make_unique<FindDialog>();
            break;
        case Window::Replace:
            owned = std::make_unique<ReplaceDialog>();
            break;
        case Window::NoteNumber:
            owned = std::make_unique<NoteNumberDialog>();
            break;
        case Window::PrintLayout:
            owned = std::make_unique<PrintLayoutDialog>(layout, dialogs);
            break;
        case Window::ColumnEdit:
            owned = std::make_unique<ColumnEditDialog>();
            break;
        case Window::PromptList: {
            auto list = std::make_unique<PromptListWindow>();
            list->setPrompts({QStringLiteral("1] 5+ cards"), QStringLiteral("Natural")});
            owned = std::move(list);
            break;
        }
        case Window::Email: {
            auto email = std::make_unique<EmailPackageDialog>(dialogs);
            email->prepare(EmailSettings{}, QStringLiteral("card.zip"));
            owned = std::move(email);
            break;
        }
        case Window::Help: {
            HelpWindow& help = session.create().helpCommands().helpWindow();
            help.setHelpFolder(
                QDir(QStringLiteral(ZQW_PROGRAM_DIR)).filePath(QStringLiteral("zqwcce.hlp")));
            QVERIFY(!help.topics().isEmpty());
            QVERIFY(help.showTopic(help.topics().topics().front().context));
            shown = &help;
            break;
        }
        case Window::Hints: {
            EditorApp& app = session.create();
            HintsWindow& hints = app.helpCommands().hintsWindow();
            hints.setCardFont(app.settings().displayFont());
            hints.setSuitChars(app.settings().suitChars());
            hints.setHintNumber(kSuitKeysHint);
            shown = &hints;
            break;
        }
        case Window::About:
            owned = std::make_unique<AboutDialog>();
            break;
        case Window::CardPrint: {
            EditorApp& app = session.create();
            app.printCommands().printCard();
            shown = app.sectionView().findChild<CardPrintWindow*>();
            QVERIFY(shown);
            break;
        }
        case Window::NotesPrint: {
            EditorApp& app = session.create();
            app.printCommands().printNotes();
            shown = app.sectionView().findChild<NotesPrintWindow*>();
            QVERIFY(shown);
            break;
        }
        case Window::PrintPreview:
            owned = std::make_unique<ReportPreviewWindow>(dialogs);
            break;
        case Window::CustomPrompts: {
            auto prompts = std::make_unique<CustomPromptsWindow>(dialogs);
            prompts->setCardFont(QFont(QStringLiteral("CardArial")));
            prompts->show();
            // A prompt with a suit, being edited.
            QTableView& grid = prompts->grid();
            QMimeData prompt;
            prompt.setText(QStringLiteral("1] 5+ cards"));
            prompts->dropPrompt(prompt, grid.visualRect(grid.model()->index(0, 0)).center());
            grid.edit(grid.model()->index(0, 0));
            owned = std::move(prompts);
            break;
        }
    }
    if (owned) shown = owned.get();
    shown->show();
    const QStringList unnamed = unnamedOnEveryPage(*shown);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    QVERIFY(dialogs.log().isEmpty());
    session.verifyDialogs();
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
    QCOMPARE(headerName(place->rowHeaderCells()), QStringLiteral("1 hearts"));
    QCOMPARE(headerName(place->columnHeaderCells()), QStringLiteral("Meaning"));
    // An empty answer is said to be blank, a label to be one.
    QCOMPARE(table->cellAt(0, kMeaningColumn)->text(QAccessible::Name),
             QStringLiteral("1 clubs, Meaning: blank"));
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("1 clubs"));
    QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Description), QStringLiteral("Line label"));
    session.verifyDialogs();
}

ZQW_GUI_TEST(AccessibleNamesTest)
#include "accessiblenames_test.moc"
