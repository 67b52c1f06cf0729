#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QTreeWidget;

// One finding of the card check as the check window lists it.
struct FindingRow {
    bool error = true;
    QString what;
    QString where;
};

// The findings of the card check, errors and warnings, one a line. A
// double-click (or Enter) on one asks to go to its place; "Check again"
// asks for a fresh check.
class CheckWindow : public QWidget {
    Q_OBJECT

public:
    explicit CheckWindow(QWidget* parent = nullptr);

    void showFindings(const QList<FindingRow>& rows);

signals:
    void findingChosen(int index);
    void checkAgainChosen();

private:
    QLabel* summary_;
    QTreeWidget* list_;
};
