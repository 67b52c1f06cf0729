#include "searchoptionsgroup.h"

#include <QCheckBox>
#include <QFrame>
#include <QRadioButton>
#include <QVBoxLayout>

SearchOptionsGroup::SearchOptionsGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("Search &Options"), parent) {
    setObjectName(QStringLiteral("OptionsGroup"));
    layout_ = new QVBoxLayout(this);
    forward_ = new QRadioButton(QStringLiteral("Search &Forward"), this);
    forward_->setObjectName(QStringLiteral("RadioButton1"));
    forward_->setChecked(true);
    backward_ = new QRadioButton(QStringLiteral("Search &Backward"), this);
    backward_->setObjectName(QStringLiteral("RadioButton2"));
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Bevel1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout_->addWidget(forward_);
    layout_->addWidget(backward_);
    layout_->addWidget(line);
}

QCheckBox* SearchOptionsGroup::addCheckBox(const QString& objectName, const QString& caption) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(objectName);
    layout_->addWidget(box);
    return box;
}
