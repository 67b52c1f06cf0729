#include "review/comparewindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "review/suitsymboldelegate.h"

namespace {

enum Column { Group, Section, Line, Heading, Row, Mine, Theirs, ColumnCount };

}  // namespace

CompareWindow::CompareWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("compareWindow"));
    setWindowTitle(QStringLiteral("Compare with partner's card"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setTextFormat(Qt::PlainText);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("differences"));
    list_->setAccessibleName(QStringLiteral("Differences"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({QStringLiteral("Group"), QStringLiteral("Section"),
                            QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Row"),
                            QStringLiteral("Mine"), QStringLiteral("Theirs")});
    list_->setItemDelegate(new SuitSymbolDelegate(list_));
    list_->header()->setStretchLastSection(true);

    widths_ = new QCheckBox(QStringLiteral("Column &widths"), this);
    widths_->setObjectName(QStringLiteral("showColumnWidths"));
    take_ = new QPushButton(QStringLiteral("&Take theirs"), this);
    take_->setObjectName(QStringLiteral("takeTheirs"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(widths_);
    buttons->addStretch();
    buttons->addWidget(take_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(820, 420);

    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        emit differenceChosen(list_->indexOfTopLevelItem(item));
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { updateTakeButton(); });
    connect(take_, &QPushButton::clicked, this, [this] {
        const QList<int> chosen = selectedTakeable();
        if (!chosen.isEmpty()) emit takeTheirsChosen(chosen);
    });
    connect(widths_, &QCheckBox::toggled, this, &CompareWindow::columnWidthsToggled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    updateTakeButton();
}

void CompareWindow::showDifferences(const QString& theirsFile, const QList<DifferenceRow>& rows) {
    rows_ = rows;
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const DifferenceRow& row : rows) {
        auto* item = new QTreeWidgetItem;
        item->setText(Group, row.group);
        item->setText(Section, row.section);
        item->setText(Line, row.line);
        item->setText(Heading, row.heading);
        item->setText(Row, row.row > 0 ? QString::number(row.row) : QString());
        item->setText(Mine, row.mine);
        item->setText(Theirs, row.theirs);
        for (int c = 0; c < ColumnCount; ++c) item->setToolTip(c, item->text(c));
        items.append(item);
    }
    list_->addTopLevelItems(items);
    // Mine and theirs share what the places leave, side by side.
    int used = 0;
    for (int c = 0; c < Mine; ++c) {
        list_->resizeColumnToContents(c);
        used += list_->columnWidth(c);
    }
    // (The list is not laid out before the window first shows.)
    const int room = qMax(list_->viewport()->width(), width() - 40);
    list_->setColumnWidth(Mine, qMax(120, (room - used) / 2));
    summary_->setText(
        rows.isEmpty()
            ? QStringLiteral("The cards are the same as %1.").arg(theirsFile)
            : QStringLiteral("%1 differences from %2.").arg(rows.size()).arg(theirsFile));
    if (!rows.isEmpty()) list_->setCurrentItem(list_->topLevelItem(0));
    updateTakeButton();
}

bool CompareWindow::columnWidthsShown() const { return widths_->isChecked(); }

QList<int> CompareWindow::selectedTakeable() const {
    QList<int> chosen;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected() && i < rows_.size() && rows_[i].takeable)
            chosen.append(i);
    }
    return chosen;
}

void CompareWindow::updateTakeButton() { take_->setEnabled(!selectedTakeable().isEmpty()); }
