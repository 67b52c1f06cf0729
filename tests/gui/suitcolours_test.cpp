// Suits on screen as players know them from printed cards: hearts and
// diamonds red, clubs and spades black, wherever card text is shown (the
// grids' cells and labels, the cell editor, the notes, the prompt list, the
// custom prompts). The Options menu's "C&oloured suits" turns the colours
// off, and the choice is kept in the settings file.

#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "commands/custompromptscommand.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "prompts/custompromptswindow.h"
#include "prompts/promptlistwindow.h"

namespace {

// The bundled card's "Openings" group: its first section's line labels are
// the opening bids, 1 club to 4NT.
constexpr int kOpeningsGroup = 5;
constexpr int kMeaningColumn = 4;

enum class Surface { LineLabel, AnswerCell, CellEditor, Notes, PromptList, CustomPrompts };

// How much of an image is drawn in plain red and how much in black (or a
// grey of it, at the edges of the glyphs).
struct Inks {
    int red = 0;
    int black = 0;
};

Inks inksOf(const QImage& image) {
    Inks inks;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int others = std::max(c.green(), c.blue());
            if (c.red() >= 120 && c.red() - others >= 80) ++inks.red;
            if (std::max(c.red(), others) < 120 &&
                std::max({c.red(), c.green(), c.blue()}) -
                        std::min({c.red(), c.green(), c.blue()}) <
                    30)
                ++inks.black;
        }
    }
    return inks;
}

// The grid row of the opening bid whose label is this text.
int bidRow(EditorApp& app, const QString& label) {
    CardGrid& grid = app.sectionView().grid(1);
    for (int row = 1; row <= grid.gridModel().rowCount(); ++row) {
        if (cellText(app, 1, row, 0) == label) return row;
    }
    return 0;
}

// The text shown on one of the surfaces, as an image.
QImage shown(EditorApp& app, Surface surface, const QString& text) {
    SectionView& view = app.sectionView();
    CardGrid& grid = view.grid(1);
    switch (surface) {
        case Surface::LineLabel: {
            QTableView& labels = grid.labelColumnView();
            const QModelIndex label = labels.model()->index(bidRow(app, text) - 1, 0);
            return labels.viewport()->grab(labels.visualRect(label)).toImage();
        }
        case Surface::AnswerCell: {
            editCell(app, 1, 1, kMeaningColumn);
            typeIntoCell(app, 1, text);
            // Stored, and the editor moves on: the cell paints itself.
            QTest::keyClick(grid.editor(), Qt::Key_Down);
            const QModelIndex cell = grid.gridModel().index(0, kMeaningColumn);
            if (cell.data().toString() != text) return {};
            return grid.viewport()->grab(grid.visualRect(cell)).toImage();
        }
        case Surface::CellEditor: {
            QLineEdit* editor = editCell(app, 1, 1, kMeaningColumn);
            typeIntoCell(app, 1, text);
            return editor ? editor->grab().toImage() : QImage();
        }
        case Surface::Notes: {
            view.showNotesGroup();
            NotesTextEditor& notes = view.notesEditor();
            notes.setPlainText(text);
            return notes.viewport()->grab().toImage();
        }
        case Surface::PromptList: {
            PromptListWindow& list = app.promptController().promptList();
            list.setFont(app.settings().displayFont());
            list.setPrompts({text});
            list.showList();
            QListWidget& box = list.listBox();
            QListWidgetItem* item = box.item(0);
            box.clearSelection();  // selected items keep the selection's colours
            return box.viewport()->grab(box.visualItemRect(item)).toImage();
        }
        case Surface::CustomPrompts: {
            CustomPromptsWindow& prompts = app.customPromptsCommand().window();
            prompts.show();
            // A prompt dropped on the first row becomes its entry.
            QTableView& grid = prompts.grid();
            const QModelIndex first = grid.model()->index(0, 0);
            QMimeData prompt;
            prompt.setText(text);
            prompts.dropPrompt(prompt, grid.visualRect(first).center());
            if (first.data().toString() != text) return {};
            grid.clearSelection();  // selected rows keep the selection's colours
            return grid.viewport()->grab(grid.visualRect(first)).toImage();
        }
    }
    return {};
}

}  // namespace

class SuitColoursTest : public QObject {
    Q_OBJECT

private slots:
    void init() { session_ = std::make_unique<EditorSession>(); }
    void cleanup() {
        if (session_) session_->verifyDialogs();
        session_.reset();
    }

    void suitsAreRedOrBlack_data();
    void suitsAreRedOrBlack();
    void theChoiceLeavesTheTypingAlone();
    void newSuitSymbolsKeepTheTyping();
    void theChoiceIsKeptInTheSettingsFile();

private:
    std::unique_ptr<EditorSession> session_;
};

void SuitColoursTest::suitsAreRedOrBlack_data() {
    QTest::addColumn<Surface>("surface");
    QTest::newRow("line label") << Surface::LineLabel;
    QTest::newRow("answer cell") << Surface::AnswerCell;
    QTest::newRow("cell editor") << Surface::CellEditor;
    QTest::newRow("notes") << Surface::Notes;
    QTest::newRow("prompt list") << Surface::PromptList;
    QTest::newRow("custom prompts") << Surface::CustomPrompts;
}

void SuitColoursTest::suitsAreRedOrBlack() {
    QFETCH(Surface, surface);
    EditorApp& app = session_->start();
    app.sectionView().selectGroup(kOpeningsGroup);
    QCOMPARE(app.sectionView().grid(1).accessibleName(), QStringLiteral("Opening bids, answers"));
    // The card fonts draw these as 1 heart, 1 diamond, 1 club and 1 spade.
    for (const char* red : {"1]", "1{"}) {
        const Inks inks = inksOf(shown(app, surface, QLatin1String(red)));
        QVERIFY2(inks.red > 0, red);
        QVERIFY2(inks.black > 0, red);  // the 1 stays black
    }
    for (const char* black : {"1}", "1["}) {
        const Inks inks = inksOf(shown(app, surface, QLatin1String(black)));
        QVERIFY2(inks.red == 0, black);
        QVERIFY2(inks.black > 0, black);
    }

    chooseMenuItem(app, "toggleColouredSuits");
    QVERIFY(!app.settings().colourSuits());
    for (const char* plain : {"1]", "1{"}) {
        const Inks inks = inksOf(shown(app, surface, QLatin1String(plain)));
        QVERIFY2(inks.red == 0, plain);
        QVERIFY2(inks.black > 0, plain);
    }
    chooseMenuItem(app, "toggleColouredSuits");
    QVERIFY(inksOf(shown(app, surface, QStringLiteral("1]"))).red > 0);
}

void SuitColoursTest::theChoiceLeavesTheTypingAlone() {
    EditorApp& app = session_->start();
    app.sectionView().selectGroup(kOpeningsGroup);
    QLineEdit* editor = editCell(app, 1, 1, kMeaningColumn);
    QVERIFY(editor);
    typeIntoCell(app, 1, QStringLiteral("5+] natural"));
    QVERIFY(inksOf(editor->grab().toImage()).red > 0);
    // Half way through typing the user turns the colours off: the text is
    // neither stored nor lost, only drawn plain.
    chooseMenuItem(app, "toggleColouredSuits");
    QCOMPARE(app.sectionView().grid(1).editor(), editor);
    QCOMPARE(editor->text(), QStringLiteral("5+] natural"));
    QCOMPARE(cellText(app, 1, 1, kMeaningColumn), QString());
    QCOMPARE(inksOf(editor->grab().toImage()).red, 0);
}

void SuitColoursTest::newSuitSymbolsKeepTheTyping() {
    EditorApp& app = session_->start();
    app.sectionView().selectGroup(kOpeningsGroup);
    QVERIFY(editCell(app, 1, 1, kMeaningColumn));
    typeIntoCell(app, 1, QStringLiteral("5+] natural"));
    // Half way through typing the user moves hearts to another character:
    // the typed heart is stored as a heart and shows as the new character.
    session_->dialogs().expectDialog(QStringLiteral("Card symbol numbers"), [](QDialog& dialog) {
        dialog.findChild<QSpinBox*>(QStringLiteral("heartCode"))->setValue('H');
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
        return dialog.result();
    });
    app.optionsCommands().chooseSuitSymbols();
    QCOMPARE(app.settings().suitChars().heart, int('H'));
    QCOMPARE(cellText(app, 1, 1, kMeaningColumn), QStringLiteral("5+H natural"));
    QVERIFY(app.document().isModified());
}

void SuitColoursTest::theChoiceIsKeptInTheSettingsFile() {
    // Colours are on until the user turns them off.
    EditorApp& first = session_->start();
    QAction* item = first.action(QStringLiteral("toggleColouredSuits"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("C&oloured suits"));
    QVERIFY(item->isCheckable());
    QVERIFY(item->isChecked());
    QVERIFY(first.settings().colourSuits());
    chooseMenuItem(first, "toggleColouredSuits");
    QVERIFY(!item->isChecked());
    session_->stop();
    QVERIFY(readBytes(session_->settings().iniPath()).contains("ColourSuits=0"));

    EditorApp& again = session_->start();
    QVERIFY(!again.settings().colourSuits());
    QVERIFY(!again.action(QStringLiteral("toggleColouredSuits"))->isChecked());
    again.sectionView().selectGroup(kOpeningsGroup);
    QCOMPARE(inksOf(shown(again, Surface::LineLabel, QStringLiteral("1]"))).red, 0);
    // The setting's change reaches the screen, whoever makes it.
    again.settings().setColourSuits(true);
    QVERIFY(again.action(QStringLiteral("toggleColouredSuits"))->isChecked());
    QVERIFY(inksOf(shown(again, Surface::LineLabel, QStringLiteral("1]"))).red > 0);
    session_->stop();
    QVERIFY(readBytes(session_->settings().iniPath()).contains("ColourSuits=1"));
}

ZQW_GUI_TEST(SuitColoursTest)
#include "suitcolours_test.moc"
