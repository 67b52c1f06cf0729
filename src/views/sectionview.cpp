#include "views/sectionview.h"

#include <QApplication>
#include <QLabel>
#include <QTabBar>

#include "dialogs/cardtextvalidator.h"
#include "dialogs/suittext.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/gridcells.h"
#include "views/notestexteditor.h"
#include "views/rotatedlabel.h"

// How the view is built and wired to the document and the settings, and
// how it follows the settings' fonts and suits. Moving between tabs, the
// layout, the grids' edits and the keys live in sectionview*.cpp beside it.

SectionView::SectionView(CardDocument& document, EditorSettings& settings, GridCells& cells,
                         NotesTextEditor& notes, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      document_(document),
      settings_(settings),
      cells_(cells),
      notes_(notes),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("sectionView"));
    captionLine_ = new QLabel(this);
    captionLine_->setObjectName(QStringLiteral("captionLine"));
    captionLine_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    sectionCaption_ = new RotatedLabel(this);
    sectionCaption_->setObjectName(QStringLiteral("sectionCaption"));

    groupTabs_ = new QTabBar(this);
    groupTabs_->setObjectName(QStringLiteral("groupTabs"));
    groupTabs_->setExpanding(false);
    groupTabs_->setUsesScrollButtons(true);
    groupTabs_->setDrawBase(true);
    groupTabs_->setAccessibleName(QStringLiteral("Groups"));
    connect(groupTabs_, &QTabBar::currentChanged, this, [this] {
        groupChanging();
        groupChanged();
    });
    groupTabs_->installEventFilter(this);

    page_ = new QWidget(this);
    page_->setObjectName(QStringLiteral("sectionPage"));
    sectionTabs_ = new QTabBar(this);
    sectionTabs_->setObjectName(QStringLiteral("sectionTabs"));
    sectionTabs_->setShape(QTabBar::RoundedEast);
    sectionTabs_->setExpanding(false);
    sectionTabs_->setUsesScrollButtons(true);
    sectionTabs_->setAccessibleName(QStringLiteral("Sections"));
    sectionTabs_->addTab(QString());
    connect(sectionTabs_, &QTabBar::currentChanged, this, [this] {
        groupChanging();
        sectionChanged();
    });

    grid1_ = new CardGrid(1, cells_, page_);
    grid2_ = new CardGrid(2, cells_, page_);
    for (CardGrid* each : {grid1_, grid2_}) {
        const int number = each->gridNumber();
        connect(each, &CardGrid::entered, this, [this, number] { gridEntered(number); });
        connect(each, &CardGrid::activeCellChanged, this, [this, number] { activeGrid_ = number; });
        connect(each, &CardGrid::columnsResized, this, [this, number] { columnsResized(number); });
        connect(each, &CardGrid::rowHovered, this,
                [this, number](int row) { showNoteNumberTip(number, row); });
        connect(each, &CardGrid::editorHovered, this,
                [this] { showNoteNumberTip(activeGrid_, grid(activeGrid_).activeRow()); });
        connect(each, &CardGrid::editCommitted, this,
                [this, number](int row, int column, const QString& text) {
                    cells_.commitEdit(number, row, column, text);
                });
        connect(each, &CardGrid::editorKeyReleased, this, &SectionView::cellKeyReleased);
        connect(each, &CardGrid::editorTextEdited, this, &SectionView::cellTyped);
        connect(each, &CardGrid::charactersReplaced, this,
                [this](const std::vector<zqw::ReplacedCharacter>& replaced) {
                    emit statusNote(replacementNote(replaced, QStringLiteral("a card file")));
                });
        connect(each, &CardGrid::lengthLimitReached, this, [this] {
            QApplication::beep();
            emit statusNote(QStringLiteral("A cell holds at most 255 characters"));
        });
        connect(each, &CardGrid::typingRefused, this, [this] {
            // The only refusal a user cannot see the reason for.
            if (!document_.isOpen())
                emit statusNote(
                    QStringLiteral("The card is closed: use New or Open to edit a card"));
        });
    }
    notes_.setParent(page_);
    notes_.setObjectName(QStringLiteral("notesEditor"));
    notes_.setAccessibleName(QStringLiteral("Notes text editor"));
    notes_.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    notes_.hide();
    connect(&notes_, &NotesTextEditor::keyReleased, this, &SectionView::notesKeyReleased);
    connect(&notes_, &NotesTextEditor::charactersReplaced, this,
            [this](const std::vector<zqw::ReplacedCharacter>& replaced) {
                emit statusNote(replacementNote(replaced, QStringLiteral("a notes file")));
            });

    applyDisplayFont();
    applyNotesFont();
    connect(&settings_, &EditorSettings::displayFontChanged, this, [this] {
        applyDisplayFont();
        relayout();
        rebuildGroup();
    });
    connect(&settings_, &EditorSettings::notesFontChanged, this, [this] {
        applyNotesFont();
        relayout();
    });
    connect(&document_, &CardDocument::answersRestored, this, &SectionView::showRestoredAnswers);
    applySuitText();
    connect(&settings_, &EditorSettings::suitCharsChanged, this, [this] {
        applySuitText();
        grid1_->gridModel().refresh();
        grid2_->gridModel().refresh();
    });
    // Colours only repaint: what is being typed stays in its editor.
    connect(&settings_, &EditorSettings::colourSuitsChanged, this, &SectionView::applySuitText);
}

void SectionView::applySuitText() {
    const SuitText suits(settings_.suitChars(), settings_.colourSuits());
    grid1_->setSuitText(suits);
    grid2_->setSuitText(suits);
    notes_.setSuitText(suits);
}

SectionView::~SectionView() {
    // The grids' editors would store their text as the widgets go, into a
    // view that is already half gone; what was typed was stored when the
    // window closed.
    for (CardGrid* each : {grid1_, grid2_}) {
        const QSignalBlocker block(each);
        each->stopEditing(false);
    }
    // The notes editor only lives in this view's page; its owner frees it.
    notes_.hide();
    notes_.setParent(nullptr);
}

CardGrid& SectionView::grid(int number) { return number == 2 ? *grid2_ : *grid1_; }

const CardGrid& SectionView::grid(int number) const { return number == 2 ? *grid2_ : *grid1_; }

int SectionView::currentSection() const {
    return document_.card().sectionIndexOf(groupTabs_->currentIndex(),
                                           sectionTabs_->currentIndex());
}

bool SectionView::notesShowing() const {
    return document_.card().isNotesGroup(groupTabs_->currentIndex());
}

void SectionView::applyDisplayFont() {
    const QFont font = settings_.displayFont();
    for (QWidget* each : {static_cast<QWidget*>(groupTabs_), static_cast<QWidget*>(sectionTabs_),
                          static_cast<QWidget*>(grid1_), static_cast<QWidget*>(grid2_),
                          static_cast<QWidget*>(captionLine_)}) {
        each->setFont(font);
    }
}

void SectionView::applyNotesFont() {
    notes_.setFixedFont(settings_.notesFont());
    sectionCaption_->setFont(settings_.notesFont());
}
