// The help topics and the start-up hints name menu commands ("File > Save",
// "Options > Coloured suits"); every one they name must be in this
// program's menus, as the menus call it.

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocumentFragment>

#include "dialogs/widgettext.h"
#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

QString plainCaption(const QString& text) {
    QString caption = text.section(QLatin1Char('\t'), 0, 0);
    caption.remove(QLatin1Char('&'));
    caption.remove(QChar(0x2026));  // the dots of an item that opens a window
    if (caption.endsWith(QLatin1String("..."))) caption.chop(3);
    return caption.trimmed();
}

// Every menu of the menu bar by its caption, with its items (those of its
// submenus and hidden ones included) and their keys.
struct MenuItem {
    QString caption;
    QList<QKeySequence> keys;
};
using MenuCaptions = QMap<QString, QList<MenuItem>>;

void addItems(const QMenu& menu, QList<MenuItem>& items) {
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        // The menus show their keys after a TAB; the keys themselves are
        // the main window's.
        QList<QKeySequence> keys = action->shortcuts();
        const QString shown = action->text().section(QLatin1Char('\t'), 1);
        if (!shown.isEmpty()) keys << QKeySequence::fromString(shown, QKeySequence::NativeText);
        items.append({plainCaption(action->text()), keys});
        if (action->menu()) addItems(*action->menu(), items);
    }
}

MenuCaptions menusOf(QMenuBar& bar) {
    MenuCaptions menus;
    for (const QAction* action : bar.actions()) {
        if (!action->menu()) continue;
        QList<MenuItem> items;
        addItems(*action->menu(), items);
        menus[plainCaption(action->text())] = items;
    }
    return menus;
}

// The key a text gives in brackets right after a command's name ("(Ctrl+S)",
// "(F12 or ...)"), or an empty sequence when it gives none.
QKeySequence keyGivenAfter(const QString& rest) {
    static const QRegularExpression given(
        QStringLiteral("^\\s*\\(((?:(?:Ctrl|Shift|Alt)\\+)*(?:F\\d+|Ins|Del|[A-Z0-9]))\\b"));
    const QRegularExpressionMatch m = given.match(rest);
    return m.hasMatch() ? QKeySequence::fromString(m.captured(1), QKeySequence::PortableText)
                        : QKeySequence();
}

// The mentions "Menu > Item" in a text that name no item of that menu, or
// give it a key it does not have. A word before ">" that is no menu's
// caption ("Overview > Special methods", a group and its section) is not a
// menu command.
QStringList unknownCommands(const QString& text, const MenuCaptions& menus) {
    QStringList unknown;
    static const QRegularExpression mention(QStringLiteral("(\\w+)\\s*>\\s*"));
    for (auto match = mention.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const auto menu = menus.constFind(m.captured(1));
        if (menu == menus.cend()) continue;
        const QString rest = text.mid(m.capturedEnd()).simplified();
        const MenuItem* named = nullptr;
        for (const MenuItem& item : *menu) {
            if (item.caption.isEmpty() || !rest.startsWith(item.caption, Qt::CaseInsensitive))
                continue;
            // The whole caption, not the start of a longer word; the
            // longest caption that fits.
            const QChar next =
                rest.size() > item.caption.size() ? rest.at(item.caption.size()) : QChar();
            if ((next.isNull() || !next.isLetterOrNumber()) &&
                (!named || item.caption.size() > named->caption.size()))
                named = &item;
        }
        const QString mentioned = m.captured(1) + QStringLiteral(" > ") + rest.left(30);
        if (!named) {
            unknown << mentioned;
            continue;
        }
        const QKeySequence key = keyGivenAfter(rest.mid(named->caption.size()));
        if (!key.isEmpty() && !named->keys.contains(key))
            unknown << mentioned + QStringLiteral(" (the item's key is ") +
                           (named->keys.isEmpty()
                                ? QStringLiteral("none")
                                : named->keys.front().toString(QKeySequence::PortableText)) +
                           QLatin1Char(')');
    }
    return unknown;
}

QString readText(const QString& path, bool windows1252) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (!windows1252) return QString::fromUtf8(bytes);
    return fromCardText(bytes.toStdString());
}

}  // namespace

class HelpTextsTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void mentionsAreChecked_data();
    void mentionsAreChecked();
    void everyCommandNamedInHelpAndHintsExists();
};

void HelpTextsTest::mentionsAreChecked_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("unknown");
    QTest::newRow("an item and its key")
        << QStringLiteral("Use File > Save (Ctrl+S) often.") << QStringList();
    QTest::newRow("a key the item does not have")
        << QStringLiteral("File > Save (Ctrl+Q) it")
        << QStringList{QStringLiteral("File > Save (Ctrl+Q) it (the item's key is Ctrl+S)")};
    QTest::newRow("a wrapped item with its window dots")
        << QStringLiteral("Options >\n  Card layout sets margins") << QStringList();
    QTest::newRow("no such item") << QStringLiteral("Edit > Frobnicate the card")
                                  << QStringList{QStringLiteral("Edit > Frobnicate the card")};
    QTest::newRow("an item's start only")
        << QStringLiteral("Edit > Und") << QStringList{QStringLiteral("Edit > Und")};
    QTest::newRow("tabs, not menus")
        << QStringLiteral("Overview > Special methods") << QStringList();
}

void HelpTextsTest::mentionsAreChecked() {
    QFETCH(QString, text);
    QFETCH(QStringList, unknown);
    EditorApp& app = session().start();
    QCOMPARE(unknownCommands(text, menusOf(*app.mainWindow().menuBar())), unknown);
}

void HelpTextsTest::everyCommandNamedInHelpAndHintsExists() {
    EditorApp& app = session().start();
    const MenuCaptions menus = menusOf(*app.mainWindow().menuBar());
    QVERIFY(menus.contains(QStringLiteral("File")));
    QStringList faults;
    const QDir help(QStringLiteral(ZQW_SOURCE_DIR "/data/help"));
    const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files);
    QVERIFY(!pages.isEmpty());
    for (const QString& page : pages) {
        const QString text =
            QTextDocumentFragment::fromHtml(readText(help.filePath(page), false)).toPlainText();
        for (const QString& unknown : unknownCommands(text, menus))
            faults << page + QStringLiteral(": ") + unknown;
    }
    const QString hints = readText(QStringLiteral(ZQW_SOURCE_DIR "/data/ccehints.txt"), true);
    QVERIFY(!hints.isEmpty());
    static const QRegularExpression header(QStringLiteral("\\$\\*\\$ *(\\d+)"));
    QString number;
    qsizetype from = 0;
    const auto checkHint = [&](qsizetype to) {
        const QString text = hints.mid(from, to - from);
        for (const QString& unknown : unknownCommands(text, menus))
            faults << QStringLiteral("hint ") + number + QStringLiteral(": ") + unknown;
    };
    for (auto match = header.globalMatch(hints); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        checkHint(m.capturedStart());
        number = m.captured(1);
        from = m.capturedEnd();
    }
    checkHint(hints.size());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

ZQW_GUI_TEST(HelpTextsTest)
#include "helptexts_test.moc"
