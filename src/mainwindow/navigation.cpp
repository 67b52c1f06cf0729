// Tab navigation and the window layout: which group and section the window
// shows, and how the grids are sized to the printed card's column width.

#include <QFileInfo>
#include <QKeyEvent>
#include <QResizeEvent>

#include "card/printlayout.h"
#include "mainwindow/appwindows.h"
#include "mainwindow/cardtext.h"
#include "mainwindow/truvcce.h"
#include "printing/tcarddef.h"

namespace {

constexpr int kLabel2Width = 15;

QString suitText(int code) { return fromCardText(std::string(1, static_cast<char>(code))); }

}  // namespace

int TRUVCCE::printColumnWidth() {
    if (!windows_) return 300;
    return windows_->cardLayout().printColumnWidth(currentSectionIndex());
}

void TRUVCCE::selectTopTab(int index) {
    if (index < 0 || index >= NB1->count() || index == NB1->currentIndex()) return;
    NB1->setCurrentIndex(index);  // the tab bar's signal runs the change handlers
}

void TRUVCCE::selectRightTab(int index) {
    if (index < 0 || index >= NB2->count() || index == NB2->currentIndex()) return;
    NB2->setCurrentIndex(index);
}

void TRUVCCE::NB1PageChange() {
    if (FormBusy || card_.isNotesGroup(shownGroup_) || shownGroup_ < 0) return;
    leavingPage_ = true;
    for (CardGrid* grid : {OvcTable1, OvcTable2}) {
        // Emptying the grids loses their active cells, which Esc from the
        // notes must return to.
        leftCell_[grid->gridNumber()] = {grid->activeRow(), grid->activeColumn()};
        if (grid->isEditing()) grid->stopEditing(true);
        grid->hide();
        grid->setRowsAndColumns(1, 1, false);
    }
    leavingPage_ = false;
}

void TRUVCCE::NB1PageChanged() {
    const int g = NB1->currentIndex();
    if (g < 0) return;
    TabSwitching = true;
    clearInsertionPoint();
    OvcTable1->setUpdatesEnabled(false);
    OvcTable2->setUpdatesEnabled(false);

    if (card_.isNotesGroup(g)) {
        if (!card_.isNotesGroup(shownGroup_)) {
            const auto [row, column] = leftCell_[ActiveGrid == 2 ? 2 : 1];
            NoteReturnPosition = {ActiveGrid, row, column, ActiveGroup, ActiveSectionTab};
        }
        shownGroup_ = g;
        OvcTable1->hide();
        OvcTable2->hide();
        NB2->show();
        NB2Page->show();
        TFE->show();
        NB1->setGeometry(0, label1Height(), clientWidth() - kLabel2Width, tabHeight(NB1->font()));
        TFE->setInputEnabled(true);
        Label2->setText(QStringLiteral("Notes text editor"));
        Label1->setText(card_.notesOpen
                            ? QStringLiteral("Notes file: ") + QFileInfo(TFE->fileName()).fileName()
                            : QStringLiteral("Notes file closed"));
        changingTabs_ = true;
        while (NB2->count() > 1) NB2->removeTab(NB2->count() - 1);
        const QStringList captions = noteTabs_.BuildNoteTabs(*TFE, noteTabsItem_->isChecked());
        NB2->setTabText(0, captions.value(0));
        for (int i = 1; i < captions.size(); ++i) NB2->addTab(captions[i]);
        NB2->setCurrentIndex(std::clamp(noteTabs_.ActiveNoteTab, 0, NB2->count() - 1));
        changingTabs_ = false;
        hideRightItemsFrom(captions.size() > 1 || !captions.value(0).isEmpty()
                               ? static_cast<int>(captions.size())
                               : 0);
        TablesResize();
        TFE->raise();
        TFE->setFocus(Qt::OtherFocusReason);
        TabSwitching = false;
    } else {
        NoteReturnPosition.group = -1;
        const zqw::Group& group = card_.groups[g];
        Label1->setText(fromCardText(group.name));
        NB2->show();
        TFE->hide();
        changingTabs_ = true;
        while (NB2->count() > 1) NB2->removeTab(NB2->count() - 1);
        for (int s = 0; s < group.sectionCount; ++s) {
            const QString caption =
                fromCardText(card_.sections[group.firstSection + s].name.substr(0, 4));
            if (s == 0) {
                NB2->setTabText(0, caption);
            } else {
                NB2->addTab(caption);
            }
        }
        if (group.sectionCount == 0) NB2->setTabText(0, QString());
        NB2->setCurrentIndex(0);
        changingTabs_ = false;
        shownGroup_ = g;
        NB2PageChanged();
        const int tabs = NB2->count();
        const int available = clientHeight() - tabHeight(NB1->font()) - label1Height() - 4;
        int m = available / tabs / 9;
        if (m > 2) m -= 2;
        setRightCaptions(m);
    }
    ActiveGroup = NB1->currentIndex();
    ActiveSectionTab = NB2->currentIndex();
    OvcTable1->setUpdatesEnabled(true);
    OvcTable2->setUpdatesEnabled(true);
}

void TRUVCCE::setRightCaptions(int m) {
    const int g = NB1->currentIndex();
    if (card_.isNotesGroup(g) || g < 0) return;
    const zqw::Group& group = card_.groups[g];
    const int shown = std::min(group.sectionCount, NB2->count());
    for (int i = 0; i < shown; ++i) {
        const std::string& name = card_.sections[group.firstSection + i].name;
        // Too little room for names leaves the numbers alone.
        const QString caption =
            m > 0 ? QString::number(i + 1) + QLatin1Char(':') + fromCardText(name.substr(0, m))
                  : QString::number(i + 1);
        NB2->setTabText(i, caption);
    }
    // Only ten sections have menu items; a longer group simply has no item
    // for the rest.
    for (int i = 0; i < 10; ++i) rightItems_[i]->setVisible(i < shown);
}

void TRUVCCE::hideRightItemsFrom(int first) {
    for (int i = std::max(0, first); i < 10; ++i) rightItems_[i]->setVisible(false);
}

void TRUVCCE::NB2PageChanged() {
    TabSwitching = true;
    const int g = NB1->currentIndex();
    const int t = NB2->currentIndex();
    if (card_.isNotesGroup(g)) {
        noteTabs_.SelectNoteTab(*TFE, t, noteTabsItem_->isChecked());
    } else {
        shownSection_ = t;
        showSection();
    }
    ActiveGroup = g;
    ActiveSectionTab = t;
    TabSwitching = false;
}

void TRUVCCE::showSection() {
    const int index = currentSectionIndex();
    if (index < 0) {
        OvcTable1->hide();
        OvcTable2->hide();
        Label2->setText(QString());
        return;
    }
    const zqw::Section& s = card_.sections[index];
    Label2->setText(fromCardText(s.name));
    const int W = printColumnWidth();
    OvcTable2->setVisible(s.hasGrid2);
    OvcTable1->setVisible(s.columnCount != 0);

    if (s.columnCount != 0) {
        OvcTable1->setUpdatesEnabled(false);
        OvcTable1->setRowsAndColumns(s.rowCount + 1, s.columnCount, s.hasHeadings);
        for (int c = 0; c < s.columnCount; ++c) {
            const int width =
                s.columnCount == 1
                    ? W
                    : zqw::roundHalfEven(W * card_.columns[s.firstColumn + c].width / 100.0);
            OvcTable1->setColumnWidth(c, width);
        }
        OvcTable1->raise();
        OvcTable1->setUpdatesEnabled(true);
    }
    if (s.hasGrid2) {
        OvcTable2->setUpdatesEnabled(false);
        OvcTable2->setRowsAndColumns(s.rowCount2 + 1, 2, false);
        OvcTable2->setColumnWidth(0, zqw::roundHalfEven(W * s.labelWidth2 / 100.0));
        OvcTable2->setColumnWidth(1, zqw::roundHalfEven(W * s.textWidth2 / 100.0));
        OvcTable2->raise();
        OvcTable2->setUpdatesEnabled(true);
    }
    TablesResize();
    // The first grid's editor takes the keyboard, so typing after a tab
    // change goes into the section's first cell.
    const bool focus = isActiveWindow();
    if (s.hasGrid2) {
        OvcTable2->setActiveCell(1, 1);
        OvcTable2->scrollToTop();
        OvcTable2->startEditing(focus && s.columnCount == 0);
    }
    if (s.columnCount != 0) {
        OvcTable1->setActiveCell(1, s.columnCount == 1 ? 0 : 1);
        OvcTable1->scrollToTop();
        OvcTable1->startEditing(focus);
    }
    // Focus moves during the change are not counted as entering a grid, so
    // the grid that now has the keyboard is recorded here.
    if (focus) ActiveGrid = s.columnCount != 0 ? 1 : 2;
}

void TRUVCCE::TablesResize() {
    const int nb2TabHeight = tabHeight(NB2->font());
    int w = printColumnWidth();
    const int roomy = clientWidth() - nb2TabHeight - kLabel2Width - 3;
    if (w > roomy) w = roomy;
    w += 4;
    const int h = clientHeight() - (tabHeight(NB1->font()) + label1Height() + 9);
    const bool one = !OvcTable1->isHidden();
    const bool two = !OvcTable2->isHidden();
    if (one && two) {
        OvcTable1->setGeometry(0, 0, w, h / 2);
        OvcTable2->setGeometry(0, h / 2, w, h / 2);
    } else if (one) {
        OvcTable1->setGeometry(0, 0, w, h);
    } else if (two) {
        OvcTable2->setGeometry(0, 0, w, h);
    } else {
        TFE->setGeometry(0, 0, clientWidth() - nb2TabHeight - kLabel2Width + 1, h);
        TFE->setWrapColumn(std::max(1, TFE->visibleColumns() - 1));
    }
}

void TRUVCCE::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TRUVCCE::FormResize() {
    if (FormBusy || !client_) return;
    const int W = clientWidth();
    const int H = clientHeight();
    const int l1 = label1Height();
    const int nb1Tab = tabHeight(NB1->font());
    const int nb2Tab = tabHeight(NB2->font());
    const bool cardGroup = !notesGroupShowing();
    Label1->setGeometry(0, 0, W, l1);
    Label2->setGeometry(W - kLabel2Width, l1, kLabel2Width, H - l1);
    NB1->setGeometry(0, l1, W - kLabel2Width - (cardGroup ? nb2Tab : 0), nb1Tab);
    const int nb2Top = l1 + nb1Tab + 3;
    const int nb2Width = W - kLabel2Width;
    const int nb2Height = std::max(0, H - l1 - nb1Tab - 3);
    NB2->setGeometry(nb2Width - nb2Tab, nb2Top, nb2Tab, nb2Height);
    NB2Page->setGeometry(0, nb2Top, std::max(0, nb2Width - nb2Tab), nb2Height);
    TablesResize();
    setTopCaptions();

    const int tabs = std::max(1, NB2->count());
    int m = ((H - nb1Tab - l1 - 4) / tabs) / (NB2->font().pointSize() + 1);
    if (m > 2) m -= 2;
    if (cardGroup) {
        setRightCaptions(m);
    } else if (noteTabsItem_->isChecked()) {
        noteTabs_.RefindNoteTabs(*TFE);
    }
}

void TRUVCCE::setTopCaptions() {
    const int tabs = NB1->count();
    if (tabs == 0) return;
    const int pointSize = std::max(1, NB1->font().pointSize());
    int n = ((clientWidth() - kLabel2Width - 21) / tabs) / pointSize;
    const int last = tabs - 1;
    if (n < 3) {
        for (int i = 0; i < tabs; ++i) NB1->setTabText(i, QString::number(i + 1));
    } else {
        n -= 2;
        for (int i = 0; i < last; ++i) {
            NB1->setTabText(i, QString::number(i + 1) + QLatin1Char(':') +
                                   fromCardText(card_.groups[i].name.substr(0, n)));
        }
        NB1->setTabText(last, (QString::number(tabs) + QStringLiteral(":NOTES")).left(n + 2));
    }
    if (tabs < 10) {
        for (int i = tabs; i < 10; ++i) topItems_[i]->setVisible(false);
    }
    for (int i = 0; i < std::min(tabs, 10); ++i) topItems_[i]->setVisible(true);
}

void TRUVCCE::TT11Click(int tag) {
    if (tag < NB1->count()) selectTopTab(tag);
}

void TRUVCCE::RT11Click(int tag) {
    if (tag < NB2->count()) selectRightTab(tag);
}

void TRUVCCE::ReturnToCard() {
    if (NoteReturnPosition.group < 0) return;
    const ReturnPosition position = NoteReturnPosition;
    selectTopTab(position.group);
    selectRightTab(position.section);
    CardGrid& target = grid(position.grid == 2 ? 2 : 1);
    target.setActiveCell(position.row, position.column);
    target.scrollToTop();
    target.startEditing(true);
}

void TRUVCCE::TFEKeyUp(int key) {
    switch (key) {
        case Qt::Key_F5:
            TFE->insertAtCaret(suitText(card_.suitChars.club));
            break;
        case Qt::Key_F6:
            TFE->insertAtCaret(suitText(card_.suitChars.diamond));
            break;
        case Qt::Key_F7:
            TFE->insertAtCaret(suitText(card_.suitChars.heart));
            break;
        case Qt::Key_F8:
            TFE->insertAtCaret(suitText(card_.suitChars.spade));
            break;
        case Qt::Key_Escape:
            ReturnToCard();
            break;
        default:
            break;
    }
}
