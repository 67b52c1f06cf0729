#include "views/sectionview.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>

#include "card/printlayout.h"
#include "dialogs/cardtextvalidator.h"
#include "dialogs/suittext.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/gridcells.h"
#include "views/notestexteditor.h"
#include "views/rotatedlabel.h"

namespace {

// The least width of the turned section caption; a larger font (or a
// screen that scales fonts up) widens it.
constexpr int kSectionCaptionWidth = 15;

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : zqw::CardPageSetup::kDefaultScreenDpi;
}

}  // namespace

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

int SectionView::commandGrid() const {
    int preferred = activeGrid_ == 2 ? 2 : 1;
    // A tab change moves the focus without recording it: the grid holding
    // the keyboard now is the last one to have had it.
    if (const QWidget* focus = QApplication::focusWidget()) {
        for (const CardGrid* each : {grid1_, grid2_}) {
            if (focus == each || each->isAncestorOf(focus)) preferred = each->gridNumber();
        }
    }
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return preferred;
    const zqw::Section& s = card.sections[section];
    if (preferred == 2 && !s.hasGrid2) return 1;
    if (preferred == 1 && s.columnCount == 0 && s.hasGrid2) return 2;
    return preferred;
}

QLineEdit* SectionView::activeCellEditor() { return grid(commandGrid()).editor(); }

QList<int> SectionView::columnWidths(int grid, int printWidth) const {
    const std::vector<int> pixels =
        zqw::gridColumnPixels(document_.card(), currentSection(), grid, printWidth);
    return QList<int>(pixels.begin(), pixels.end());
}

int SectionView::printColumnWidth() const {
    return settings_.printLayout().printColumnWidth(document_.card(), currentSection(),
                                                    screenDpi());
}

int SectionView::tabHeight(const QFont& font) const { return QFontMetrics(font).height() + 10; }

int SectionView::captionLineHeight() const {
    return QFontMetrics(captionLine_->font()).height() + 2;
}

int SectionView::sectionCaptionWidth() const {
    return std::max(kSectionCaptionWidth, QFontMetrics(sectionCaption_->font()).height() + 2);
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

void SectionView::start() {
    {
        const QSignalBlocker block(groupTabs_);
        for (const std::string& caption : document_.card().tabCaptions)
            groupTabs_->addTab(fromCardText(caption));
        groupTabs_->setCurrentIndex(0);
    }
    describeGroupTabs();
    started_ = true;
    groupChanged();
    // Typing goes straight into the first cell.
    if (!notesShowing()) grid(grid1_->isHidden() ? 2 : 1).startEditing(true);
    relayout();
}

// The captions are cut to the room there is; a tab's tip, which is also
// what a screen reader says of it, has the whole name. The tip is not in
// the card font, so suits are words there.
void SectionView::describeGroupTabs() {
    const zqw::Card& card = document_.card();
    const SuitText suits(settings_.suitChars(), false);
    for (int i = 0; i < groupTabs_->count() && i < static_cast<int>(card.groups.size()); ++i)
        groupTabs_->setTabToolTip(i, suits.spoken(fromCardText(card.groups[i].name)));
}

void SectionView::selectGroup(int index) {
    if (index < 0 || index >= groupTabs_->count() || index == groupTabs_->currentIndex()) return;
    groupTabs_->setCurrentIndex(index);  // the tab bar's signal runs the change handlers
}

void SectionView::selectSection(int index) {
    if (index < 0 || index >= sectionTabs_->count() || index == sectionTabs_->currentIndex())
        return;
    sectionTabs_->setCurrentIndex(index);
}

void SectionView::showFirstGroup() {
    if (groupTabs_->currentIndex() != 0 && groupTabs_->count() > 0) {
        selectGroup(0);
    } else {
        // Already on the first group: rebuild it for the new card.
        rebuildGroup();
    }
    grid1_->gridModel().refresh();
    grid2_->gridModel().refresh();
}

void SectionView::showNotesGroup() {
    selectGroup(static_cast<int>(document_.card().groups.size()) - 1);
}

void SectionView::rebuildGroup() {
    groupChanging();
    groupChanged();
}

void SectionView::refreshSection() {
    groupChanging();
    sectionChanged();
}

void SectionView::groupChanging() {
    const zqw::Card& card = document_.card();
    if (!started_ || card.isNotesGroup(shownGroup_) || shownGroup_ < 0) return;
    const QScopedValueRollback<bool> guard(switchingTabs_, true);
    for (CardGrid* each : {grid1_, grid2_}) {
        // Emptying the grids loses their active cells, which Esc from the
        // notes must return to.
        leftCell_[each->gridNumber()] = {each->activeRow(), each->activeColumn()};
        if (each->isEditing()) each->stopEditing(true);
        each->hide();
        each->setRowsAndColumns(1, 1, false);
    }
    cells_.setSection(-1);
}

void SectionView::groupChanged() {
    const int g = groupTabs_->currentIndex();
    if (!started_ || g < 0) return;
    const zqw::Card& card = document_.card();
    const QScopedValueRollback<bool> guard(switchingTabs_, true);
    emit pageChanging();
    grid1_->setUpdatesEnabled(false);
    grid2_->setUpdatesEnabled(false);

    if (card.isNotesGroup(g)) {
        if (!card.isNotesGroup(shownGroup_)) {
            const auto [row, column] = leftCell_[activeGrid_ == 2 ? 2 : 1];
            returnPosition_ = {activeGrid_, row, column, activeGroup_, activeSectionTab_};
        }
        shownGroup_ = g;
        grid1_->hide();
        grid2_->hide();
        sectionTabs_->show();
        page_->show();
        notes_.show();
        groupTabs_->setGeometry(0, captionLineHeight(), width() - sectionCaptionWidth(),
                                tabHeight(groupTabs_->font()));
        notes_.setInputEnabled(true);
        sectionCaption_->setText(QStringLiteral("Notes text editor"));
        showNotesCaption(card.notesOpen);
        QStringList captions;
        {
            const QSignalBlocker block(sectionTabs_);
            while (sectionTabs_->count() > 1) sectionTabs_->removeTab(sectionTabs_->count() - 1);
            captions = noteTabs_.buildCaptions(notes_, settings_.noteTabs());
            sectionTabs_->setTabText(0, captions.value(0));
            for (int i = 1; i < captions.size(); ++i) sectionTabs_->addTab(captions[i]);
            for (int i = 0; i < captions.size(); ++i) {
                sectionTabs_->setTabToolTip(
                    i, captions[i].isEmpty() ? QString() : QStringLiteral("Note ") + captions[i]);
            }
            sectionTabs_->setCurrentIndex(
                std::clamp(noteTabs_.activeTab(), 0, sectionTabs_->count() - 1));
        }
        const bool hasTabs = captions.size() > 1 || !captions.value(0).isEmpty();
        emit tabCountsChanged(groupTabs_->count(), hasTabs ? static_cast<int>(captions.size()) : 0);
        layoutGrids();
        notes_.raise();
        notes_.setFocus(Qt::OtherFocusReason);
    } else {
        returnPosition_.group = -1;
        const zqw::Group& group = card.groups[g];
        captionLine_->setText(fromCardText(group.name));
        sectionTabs_->show();
        notes_.hide();
        {
            const QSignalBlocker block(sectionTabs_);
            while (sectionTabs_->count() > 1) sectionTabs_->removeTab(sectionTabs_->count() - 1);
            for (int s = 0; s < group.sectionCount; ++s) {
                const std::string& name = card.sections[group.firstSection + s].name;
                const QString caption = fromCardText(name.substr(0, 4));
                if (s == 0) {
                    sectionTabs_->setTabText(0, caption);
                } else {
                    sectionTabs_->addTab(caption);
                }
                // The caption is cut short; the tip (and a screen reader)
                // has the whole name.
                sectionTabs_->setTabToolTip(
                    s, SuitText(settings_.suitChars(), false).spoken(fromCardText(name)));
            }
            if (group.sectionCount == 0) {
                sectionTabs_->setTabText(0, QString());
                sectionTabs_->setTabToolTip(0, QString());
            }
            sectionTabs_->setCurrentIndex(0);
        }
        shownGroup_ = g;
        sectionChanged();
        const int tabs = sectionTabs_->count();
        const int available = height() - tabHeight(groupTabs_->font()) - captionLineHeight() - 4;
        int m = available / tabs / 9;
        if (m > 2) m -= 2;
        setRightCaptions(m);
    }
    activeGroup_ = groupTabs_->currentIndex();
    activeSectionTab_ = sectionTabs_->currentIndex();
    grid1_->setUpdatesEnabled(true);
    grid2_->setUpdatesEnabled(true);
}

void SectionView::sectionChanged() {
    if (!started_) return;
    const QScopedValueRollback<bool> guard(switchingTabs_, true);
    const int g = groupTabs_->currentIndex();
    const int t = sectionTabs_->currentIndex();
    if (document_.card().isNotesGroup(g)) {
        noteTabs_.selectTab(notes_, t, settings_.noteTabs());
    } else {
        shownSection_ = t;
        showSection();
    }
    activeGroup_ = g;
    activeSectionTab_ = t;
}

void SectionView::showSection() {
    const int index = currentSection();
    cells_.setSection(index);
    if (index < 0) {
        grid1_->hide();
        grid2_->hide();
        sectionCaption_->setText(QString());
        return;
    }
    const zqw::Card& card = document_.card();
    const zqw::Section& s = card.sections[index];
    sectionCaption_->setText(fromCardText(s.name));
    // A screen reader names each grid after the section it holds.
    const SuitText suits(settings_.suitChars(), false);
    const QString spokenName = suits.spoken(fromCardText(s.name));
    const QString groupName = suits.spoken(fromCardText(card.groups[s.groupIndex].name));
    // A grid the section does not have is hidden, and nameless.
    grid1_->setAccessibleName(s.columnCount != 0 ? spokenName + QStringLiteral(", answers")
                                                 : QString());
    grid2_->setAccessibleName(s.hasGrid2 ? spokenName + QStringLiteral(", more answers")
                                         : QString());
    for (CardGrid* each : {grid1_, grid2_}) {
        each->setAccessibleDescription(groupName);
        each->labelColumnView().setAccessibleName(spokenName + QStringLiteral(", line labels"));
    }
    const int W = printColumnWidth();
    grid2_->setVisible(s.hasGrid2);
    grid1_->setVisible(s.columnCount != 0);
    grid1_->setLabelColumnFrozen(s.columnCount >= 2);
    grid2_->setLabelColumnFrozen(s.hasGrid2);

    if (s.columnCount != 0) {
        grid1_->setUpdatesEnabled(false);
        grid1_->setRowsAndColumns(s.rowCount + 1, s.columnCount, s.hasHeadings);
        grid1_->setColumnWidths(columnWidths(1, W));
        grid1_->raise();
        grid1_->setUpdatesEnabled(true);
    }
    if (s.hasGrid2) {
        grid2_->setUpdatesEnabled(false);
        grid2_->setRowsAndColumns(s.rowCount2 + 1, 2, false);
        grid2_->setColumnWidths(columnWidths(2, W));
        grid2_->raise();
        grid2_->setUpdatesEnabled(true);
    }
    layoutGrids();
    // The first grid's editor takes the keyboard, so typing after a tab
    // change goes into the section's first cell.
    const bool focus = isActiveWindow();
    // A section opens at its left edge, whatever the last one scrolled to.
    grid1_->horizontalScrollBar()->setValue(0);
    grid2_->horizontalScrollBar()->setValue(0);
    if (s.hasGrid2) {
        grid2_->setActiveCell(1, 1);
        grid2_->scrollToTop();
        grid2_->startEditing(focus && s.columnCount == 0);
    }
    if (s.columnCount != 0) {
        grid1_->setActiveCell(1, s.columnCount == 1 ? 0 : 1);
        grid1_->scrollToTop();
        grid1_->startEditing(focus);
    }
    // Focus moves during the change are not counted as entering a grid, so
    // the grid that now has the keyboard is recorded here.
    if (focus) activeGrid_ = s.columnCount != 0 ? 1 : 2;
}

void SectionView::layoutGrids() {
    const int sectionTabHeight = tabHeight(sectionTabs_->font());
    int w = printColumnWidth();
    const int roomy = width() - sectionTabHeight - sectionCaptionWidth() - 3;
    if (w > roomy) w = roomy;
    w += 4;
    const int h = height() - (tabHeight(groupTabs_->font()) + captionLineHeight() + 9);
    const bool one = !grid1_->isHidden();
    const bool two = !grid2_->isHidden();
    if (one && two) {
        grid1_->setGeometry(0, 0, w, h / 2);
        grid2_->setGeometry(0, h / 2, w, h / 2);
    } else if (one) {
        grid1_->setGeometry(0, 0, w, h);
    } else if (two) {
        grid2_->setGeometry(0, 0, w, h);
    } else {
        notes_.setGeometry(0, 0, width() - sectionTabHeight - sectionCaptionWidth() + 1, h);
        notes_.setWrapColumn(std::max(1, notes_.visibleColumns() - 1));
    }
}

void SectionView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (started_) relayout();
}

void SectionView::relayout() {
    const int W = width();
    const int H = height();
    const int captionHeight = captionLineHeight();
    const int groupTabHeight = tabHeight(groupTabs_->font());
    const int sectionTabHeight = tabHeight(sectionTabs_->font());
    const bool cardGroup = !notesShowing();
    const int captionWidth = sectionCaptionWidth();
    captionLine_->setGeometry(0, 0, W, captionHeight);
    sectionCaption_->setGeometry(W - captionWidth, captionHeight, captionWidth, H - captionHeight);
    groupTabs_->setGeometry(0, captionHeight, W - captionWidth - (cardGroup ? sectionTabHeight : 0),
                            groupTabHeight);
    const int pageTop = captionHeight + groupTabHeight + 3;
    const int pageWidth = W - captionWidth;
    const int pageHeight = std::max(0, H - captionHeight - groupTabHeight - 3);
    sectionTabs_->setGeometry(pageWidth - sectionTabHeight, pageTop, sectionTabHeight, pageHeight);
    page_->setGeometry(0, pageTop, std::max(0, pageWidth - sectionTabHeight), pageHeight);
    layoutGrids();
    setTopCaptions();

    const int tabs = std::max(1, sectionTabs_->count());
    int m =
        ((H - groupTabHeight - captionHeight - 4) / tabs) / (sectionTabs_->font().pointSize() + 1);
    if (m > 2) m -= 2;
    if (cardGroup) {
        setRightCaptions(m);
    } else if (settings_.noteTabs()) {
        noteTabs_.refindTabs(notes_);
    }
}

void SectionView::setTopCaptions() {
    const int tabs = groupTabs_->count();
    if (tabs == 0) return;
    const int pointSize = std::max(1, groupTabs_->font().pointSize());
    int n = ((width() - sectionCaptionWidth() - 21) / tabs) / pointSize;
    const int last = tabs - 1;
    if (n < 3) {
        for (int i = 0; i < tabs; ++i) groupTabs_->setTabText(i, QString::number(i + 1));
    } else {
        n -= 2;
        for (int i = 0; i < last; ++i) {
            groupTabs_->setTabText(i,
                                   QString::number(i + 1) + QLatin1Char(':') +
                                       fromCardText(document_.card().groups[i].name.substr(0, n)));
        }
        groupTabs_->setTabText(last,
                               (QString::number(tabs) + QStringLiteral(":NOTES")).left(n + 2));
    }
}

void SectionView::setRightCaptions(int m) {
    const int g = groupTabs_->currentIndex();
    const zqw::Card& card = document_.card();
    if (card.isNotesGroup(g) || g < 0) return;
    const zqw::Group& group = card.groups[g];
    const int shown = std::min(group.sectionCount, static_cast<int>(sectionTabs_->count()));
    for (int i = 0; i < shown; ++i) {
        const std::string& name = card.sections[group.firstSection + i].name;
        // Too little room for names leaves the numbers alone.
        const QString caption =
            m > 0 ? QString::number(i + 1) + QLatin1Char(':') + fromCardText(name.substr(0, m))
                  : QString::number(i + 1);
        sectionTabs_->setTabText(i, caption);
    }
    emit tabCountsChanged(groupTabs_->count(), shown);
}

void SectionView::showNotesCaption(bool open) {
    if (!notesShowing()) return;
    captionLine_->setText(open ? QStringLiteral("Notes file: ") +
                                     QFileInfo(notes_.fileName()).fileName()
                               : QStringLiteral("Notes file closed"));
    notes_.setAccessibleDescription(captionLine_->text());
}

void SectionView::returnToCard() {
    if (returnPosition_.group < 0) return;
    const ReturnPosition position = returnPosition_;
    selectGroup(position.group);
    selectSection(position.section);
    CardGrid& target = grid(position.grid == 2 ? 2 : 1);
    target.setActiveCell(position.row, position.column);
    target.scrollToTop();
    target.startEditing(true);
}

void SectionView::storePendingEdits() {
    for (CardGrid* each : {grid1_, grid2_}) {
        if (!each->isEditing()) continue;
        const bool focused = each->editor() && each->editor()->hasFocus();
        each->stopEditing(true);
        each->startEditing(focused);
    }
}

void SectionView::dropCellEdits() {
    for (CardGrid* each : {grid1_, grid2_}) {
        if (each->isEditing()) each->stopEditing(false);
    }
}

void SectionView::reloadRows(int gridNumber, int activeRow, int activeColumn) {
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return;
    const zqw::Section& s = card.sections[section];
    const int rows = gridNumber == 1 ? s.rowCount : s.rowCount2;
    grid(gridNumber)
        .reloadRows(rows + 1, gridNumber == 1 && s.hasHeadings, activeRow, activeColumn);
}

void SectionView::showRestoredAnswers() {
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return;
    const zqw::Section& s = card.sections[section];
    for (CardGrid* each : {grid1_, grid2_}) {
        if (each->isHidden()) continue;
        const int number = each->gridNumber();
        const bool focused = each->editor() && each->editor()->hasFocus();
        // The editor's text is the old state's: it must not be stored.
        each->stopEditing(false);
        each->reloadRows((number == 1 ? s.rowCount : s.rowCount2) + 1, number == 1 && s.hasHeadings,
                         each->activeRow(), each->activeColumn());
        // Widths may have been put back too.
        if ((number == 1 && s.columnCount >= 2) || number == 2)
            each->setColumnWidths(columnWidths(number, printColumnWidth()));
        each->startEditing(focused);
    }
}

QList<std::pair<int, std::string>> SectionView::uncommittedRows() const {
    QList<std::pair<int, std::string>> rows;
    for (const CardGrid* each : {grid1_, grid2_}) {
        const QLineEdit* editor = each->editor();
        if (!editor || each->isHidden()) continue;
        if (auto row = cells_.editedRow(each->gridNumber(), each->activeRow(), each->activeColumn(),
                                        editor->text()))
            rows.append(std::move(*row));
    }
    return rows;
}

void SectionView::gridEntered(int number) {
    // Focus moves about while a tab change empties and refills the grids;
    // that is not the user entering a grid.
    if (switchingTabs_) return;
    activeGrid_ = number;
    CardGrid& other = grid(number == 1 ? 2 : 1);
    if (other.isEditing() && !other.isHidden()) {
        other.stopEditing(true);
        other.startEditing(false);
    }
}

void SectionView::showNoteNumberTip(int number, int row) {
    CardGrid& view = grid(number);
    const int note = notesShowing() ? 0 : cells_.noteNumber(number, row);
    view.setToolTip(note != 0 ? QString::number(note) : QString());
    if (QLineEdit* editor = view.editor()) editor->setToolTip(view.toolTip());
}

void SectionView::columnsResized(int number) {
    CardGrid& view = grid(number);
    if (switchingTabs_ || view.isHidden() || !document_.isOpen()) return;
    cells_.storeColumnWidths(number, view.columnWidths(), printColumnWidth());
}

void SectionView::cellKeyReleased(QLineEdit* editor, int key) {
    const QString suit = suitKeyText(key, settings_.suitChars());
    if (suit.isEmpty()) return;
    if (!grid1_->isEditing()) {
        dialogs_.message(QStringLiteral("Select a place to enter the card symbol"));
        return;
    }
    const int start =
        editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    const int length =
        editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
    const QString text = editor->text();
    editor->setText(text.left(start) + suit + text.mid(start + length));
    editor->setCursorPosition(start + 1);
    document_.markPendingEdit();
}

void SectionView::notesKeyReleased(int key) {
    if (key == Qt::Key_Escape) {
        returnToCard();
        return;
    }
    const QString suit = suitKeyText(key, settings_.suitChars());
    if (!suit.isEmpty()) notes_.insertAtCaret(suit);
}

bool SectionView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == groupTabs_ && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && notesShowing()) {
        returnToCard();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
