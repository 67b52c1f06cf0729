#pragma once

#include <QGroupBox>

class QCheckBox;
class QRadioButton;
class QVBoxLayout;

// The "Search &Options" group the Find and Replace dialogs share: the
// direction as two radio buttons (forward selected at first), a dividing
// line, then the dialog's own check boxes, none ticked at first.
class SearchOptionsGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit SearchOptionsGroup(QWidget* parent = nullptr);

    // Adds a check box below the line.
    QCheckBox* addCheckBox(const QString& objectName, const QString& caption);

    QRadioButton* forwardButton() const { return forward_; }
    QRadioButton* backwardButton() const { return backward_; }

private:
    QVBoxLayout* layout_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QRadioButton* backward_ = nullptr;
};
