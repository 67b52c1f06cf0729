#include "review/checkwindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "review/suitsymboldelegate.h"

CheckWindow::CheckWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("checkWindow"));
    setWindowTitle(QStringLiteral("Check card"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setTextFormat(Qt::PlainText);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("findings"));
    list_->setAccessibleName(QStringLiteral("Findings"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels(
        {QStringLiteral("Severity"), QStringLiteral("What"), QStringLiteral("Where")});
    list_->setItemDelegate(new SuitSymbolDelegate(list_));
    list_->header()->setStretchLastSection(true);

    auto* again = new QPushButton(QStringLiteral("Check &again"), this);
    again->setObjectName(QStringLiteral("checkAgain"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(760, 360);

    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        emit findingChosen(list_->indexOfTopLevelItem(item));
    });
    connect(again, &QPushButton::clicked, this, &CheckWindow::checkAgainChosen);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void CheckWindow::showFindings(const QList<FindingRow>& rows) {
    list_->clear();
    int errors = 0;
    QList<QTreeWidgetItem*> items;
    for (const FindingRow& row : rows) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, row.error ? QStringLiteral("Error") : QStringLiteral("Warning"));
        item->setText(1, row.what);
        item->setText(2, row.where);
        for (int c = 0; c < 3; ++c) item->setToolTip(c, item->text(c));
        items.append(item);
        if (row.error) ++errors;
    }
    list_->addTopLevelItems(items);
    list_->resizeColumnToContents(0);
    list_->setColumnWidth(1, qMax(list_->columnWidth(1), 380));
    summary_->setText(
        rows.isEmpty()
            ? QStringLiteral("Nothing found: the card is ready to send.")
            : QStringLiteral("%1 errors, %2 warnings.").arg(errors).arg(rows.size() - errors));
    if (!rows.isEmpty()) list_->setCurrentItem(list_->topLevelItem(0));
}
