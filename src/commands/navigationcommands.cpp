#include "commands/navigationcommands.h"

#include <QAction>
#include <QTabBar>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "views/sectionview.h"

NavigationCommands::NavigationCommands(const CommandContext& context) {
    static const char* const kNumbers[10] = {"&1", "&2", "&3", "&4", "&5",
                                             "&6", "&7", "&8", "&9", "1&0"};
    static const Qt::Key kKeys[10] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
                                      Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F10};
    for (int k = 0; k < 10; ++k) {
        groupItems_.append(context.menu.add(*this, QStringLiteral("selectGroup%1").arg(k + 1),
                                            QLatin1String(kNumbers[k]),
                                            QKeySequence(Qt::ControlModifier | kKeys[k]), {},
                                            [&view = context.view, k] { view.selectGroup(k); }));
        sectionItems_.append(
            context.menu.add(*this, QStringLiteral("selectSection%1").arg(k + 1),
                             QLatin1String(kNumbers[k]), QKeySequence(Qt::ShiftModifier | kKeys[k]),
                             {}, [&view = context.view, k] { view.selectSection(k); }));
    }
    connect(&context.view, &SectionView::tabCountsChanged, this,
            &NavigationCommands::showTabCounts);
}

void NavigationCommands::showTabCounts(int groupTabs, int sectionTabs) {
    // Only ten tabs have items; a longer group simply has no item for the
    // rest.
    for (int i = 0; i < groupItems_.size(); ++i) groupItems_[i]->setVisible(i < groupTabs);
    for (int i = 0; i < sectionItems_.size(); ++i) sectionItems_[i]->setVisible(i < sectionTabs);
}
