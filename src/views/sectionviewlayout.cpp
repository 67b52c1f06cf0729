#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabBar>

#include "card/printlayout.h"
#include "dialogs/suittext.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/rotatedlabel.h"
#include "views/sectionview.h"

// Where the parts of the view go and what the captions and tabs say in
// the room they have.

namespace {

// The least width of the turned section caption; a larger font (or a
// screen that scales fonts up) widens it.
constexpr int kSectionCaptionWidth = 15;

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : zqw::CardPageSetup::kDefaultScreenDpi;
}

}  // namespace

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

// The captions are cut to the room there is; a tab's tip, which is also
// what a screen reader says of it, has the whole name. The tip is not in
// the card font, so suits are words there.
void SectionView::describeGroupTabs() {
    const zqw::Card& card = document_.card();
    const SuitText suits(settings_.suitChars(), false);
    for (int i = 0; i < groupTabs_->count() && i < static_cast<int>(card.groups.size()); ++i)
        groupTabs_->setTabToolTip(i, suits.spoken(fromCardText(card.groups[i].name)));
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
