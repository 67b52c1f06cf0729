#include "help/aboutdialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel* addLine(QWidget* parent, QVBoxLayout* lines, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines->addWidget(label);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About"));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // The four suits stand in for a program icon.
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setTextFormat(Qt::RichText);
    icon->setText(QStringLiteral(
        "<span style=\"font-size:28pt\">\u2660<span style=\"color:#c00000\">\u2665</span><br>"
        "<span style=\"color:#c00000\">\u2666</span>\u2663</span>"));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    // Read by their characters' names the symbols would all be "black";
    // the name says what the picture shows.
    icon->setAccessibleName(QStringLiteral("Spades, hearts, diamonds and clubs"));

    auto* lines = new QVBoxLayout;
    QLabel* product =
        addLine(panel, lines, "productName", QStringLiteral("ZQW Convention card editor"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    product->setFont(bold);
    addLine(panel, lines, "version", QStringLiteral("Version ") + version());
    addLine(panel, lines, "releaseDate", QStringLiteral("Released ") + releaseDate());
    addLine(panel, lines, "authorization",
            QStringLiteral("Authorised by KHF for filling in ZQW convention cards"));
    addLine(panel, lines, "rights",
            QStringLiteral("Copyright \u00a9 2026 the ZQW Convention card editor developers. "
                           "All rights reserved."));
    addLine(panel, lines, "credits",
            QStringLiteral("The card fonts are made from the free Liberation and DejaVu fonts. "
                           "Built with Qt, libzip and libcurl."));
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(icon);
    panelLayout->addLayout(lines, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(buttons);
    // Wide enough for the product's name on one line; as tall as the lines
    // need.
    panel->setMinimumWidth(360);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutDialog::version() { return QStringLiteral(ZQW_VERSION); }

QString AboutDialog::releaseDate() { return QStringLiteral(ZQW_RELEASE_DATE); }

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
