#include "dialogs/dialogparts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

QHBoxLayout* okCancelRow(QDialog& dialog, const char* okObjectName) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QLatin1String(okObjectName));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QLabel* fontSample(QWidget* parent) {
    auto* sample = new QLabel(QStringLiteral("ABCDEFGHIabcdefghi123456789"), parent);
    sample->setObjectName(QStringLiteral("fontSample"));
    sample->setMinimumHeight(40);
    return sample;
}

QSpinBox* fontSizeSpin(QWidget* parent, int minimum, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QStringLiteral("fontSize"));
    spin->setRange(minimum, maximum);
    return spin;
}

void centreOnScreen(QDialog& dialog) {
    if (const QScreen* screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}
