#include "views/cardgridmodel.h"

#include "views/gridcells.h"

CardGridModel::CardGridModel(int grid, const GridCells& cells, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), cells_(cells) {}

void CardGridModel::configure(int rows, int columnCount, bool hasHeadings) {
    beginResetModel();
    rows_ = std::max(0, rows);
    columns_ = std::max(0, columnCount);
    hasHeadings_ = hasHeadings;
    endResetModel();
}

void CardGridModel::refresh() {
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
    if (columns_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

void CardGridModel::rowStored(int row) {
    if (row < 1 || row > rows_ || columns_ == 0) return;
    emit dataChanged(cellIndex(row, 0), cellIndex(row, columns_ - 1));
}

int CardGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int CardGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

void CardGridModel::setSuitText(const SuitText& suits) {
    // Only what is said changes, and it is asked for afresh each time: a
    // refresh would also put the stored text back into an open editor.
    suits_ = suits;
}

bool CardGridModel::isLabelColumn(int column) const {
    return column == 0 && (grid_ == 2 || columns_ >= 2);
}

QString CardGridModel::cellContext(int row, int column) const {
    QStringList parts;
    const QString label = suits_.spoken(cells_.lineLabel(grid_, row)).trimmed();
    if (!label.isEmpty()) parts << label;
    if (hasHeadings_ && !isLabelColumn(column)) {
        const QString heading = suits_.spoken(cells_.cellText(grid_, 0, column)).trimmed();
        if (!heading.isEmpty()) parts << heading;
    }
    if (parts.isEmpty()) return QStringLiteral("Row %1").arg(row);
    return parts.join(QStringLiteral(", "));
}

QVariant CardGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = gridRowOf(index);
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cells_.cellText(grid_, row, column);
        case Qt::AccessibleTextRole: {
            if (isLabelColumn(column)) return cellContext(row, column);
            const QString text = suits_.spoken(cells_.cellText(grid_, row, column)).trimmed();
            return cellContext(row, column) + QStringLiteral(": ") +
                   (text.isEmpty() ? QStringLiteral("blank") : text);
        }
        case Qt::AccessibleDescriptionRole: {
            if (isLabelColumn(column)) return QStringLiteral("Line label");
            // What the pointer's tip tells a sighted user.
            const int note = cells_.noteNumber(grid_, row);
            return note != 0 ? QStringLiteral("Note %1").arg(note) : QString();
        }
        case CellContextRole:
            return cellContext(row, column);
        default:
            return {};
    }
}

QVariant CardGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (orientation == Qt::Vertical) {
        // The rows' own header is never shown; a screen reader names a row
        // after its line, as the labels beside it do on screen.
        const int row = zqw::gridRowOfTableRow(section);
        const QString label = suits_.spoken(cells_.lineLabel(grid_, row)).trimmed();
        return label.isEmpty() ? QStringLiteral("Row %1").arg(row) : label;
    }
    const QString heading = hasHeadings_ ? cells_.cellText(grid_, 0, section) : QString();
    return role == Qt::DisplayRole ? heading : suits_.spoken(heading).trimmed();
}

Qt::ItemFlags CardGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (cells_.isEditable(grid_, gridRowOf(index), index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}
