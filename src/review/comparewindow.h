#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// One difference as the compare window lists it; texts in Unicode with the
// suits as symbols.
struct DifferenceRow {
    QString group;
    QString section;
    QString line;
    QString heading;
    int row = 0;
    QString mine;
    QString theirs;
    // Whether "Take theirs" can copy it (notes lines are left to the notes).
    bool takeable = true;
};

// The differences between my card and a partner's copy, one a line. A
// double-click (or Enter) on one asks to go to its place; "Take theirs"
// asks to copy the selected ones into my card.
class CompareWindow : public QWidget {
    Q_OBJECT

public:
    explicit CompareWindow(QWidget* parent = nullptr);

    void showDifferences(const QString& theirsFile, const QList<DifferenceRow>& rows);
    bool columnWidthsShown() const;

signals:
    void differenceChosen(int index);
    void takeTheirsChosen(const QList<int>& indexes);
    void columnWidthsToggled(bool shown);

private:
    QList<int> selectedTakeable() const;
    void updateTakeButton();

    QLabel* summary_;
    QTreeWidget* list_;
    QCheckBox* widths_;
    QPushButton* take_;
    QList<DifferenceRow> rows_;
};
