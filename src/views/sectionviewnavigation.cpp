#include <QLabel>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTabBar>

#include "dialogs/suittext.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/gridcells.h"
#include "views/notestexteditor.h"
#include "views/rotatedlabel.h"
#include "views/sectionview.h"

// Moving between groups and sections: which page the tabs select, the
// grids filled for it, and the way back from the notes.

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
        each->setRowsAndColumns(0, 1, false);
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
        grid1_->setRowsAndColumns(s.rowCount, s.columnCount, s.hasHeadings);
        grid1_->setColumnWidths(columnWidths(1, W));
        grid1_->raise();
        grid1_->setUpdatesEnabled(true);
    }
    if (s.hasGrid2) {
        grid2_->setUpdatesEnabled(false);
        grid2_->setRowsAndColumns(s.rowCount2, 2, false);
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
