#include "printing/printlayoutdialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "dialogs/userdialogs.h"
#include "render/printlayoutsettings.h"

namespace {

// The margin fields hold at most "100.00".
constexpr int kMarginFieldLength = 6;

using MarginSetter = void (zqw::CardPageSetup::*)(double);
constexpr std::array<MarginSetter, 4> kMarginSetters = {
    &zqw::CardPageSetup::setTopMargin, &zqw::CardPageSetup::setBottomMargin,
    &zqw::CardPageSetup::setLeftMargin, &zqw::CardPageSetup::setRightMargin};

// A margin as the entry fields show it; nullopt when it does not fit their
// picture (negative, over 100 or not a number).
std::optional<QString> marginText(double value) {
    const double shown = std::round(value * 100) / 100;
    if (!std::isfinite(shown) || shown < 0 || shown > PrintLayoutSettings::kLargestMargin)
        return std::nullopt;
    return QString::number(shown, 'f', 2);
}

// The value of a margin field; nullopt when it holds no number the fields
// allow.
std::optional<double> marginValue(const QLineEdit* field) {
    bool ok = false;
    const double value = QLocale::c().toDouble(field->text().trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > PrintLayoutSettings::kLargestMargin)
        return std::nullopt;
    return value;
}

QString sizeText(const char* caption, double value) {
    return QLatin1String(caption) + QString::asprintf("%4.2f", value);
}

// The small suit picture shown beside the "Bit maps" choice, drawn from the
// suit character of the ordinary system font.
QPixmap suitPicture(char16_t suit, const QColor& colour) {
    // Drawn for the sharpest screen, so that it is not blown up blurred on
    // a screen scaled to 200 %.
    const QSize size(11, 12);
    const qreal scale = qApp->devicePixelRatio();
    QPixmap picture(size * scale);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString(QChar(suit)));
    return picture;
}

}  // namespace

QList<QPageSize> printerPaperSizes() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull() && !printer.supportedPageSizes().isEmpty())
        return printer.supportedPageSizes();
    return PrintLayoutSettings::allPaperSizes();
}

PrintLayoutDialog::PrintLayoutDialog(PrintLayoutSettings& layout, UserDialogs& dialogs,
                                     QWidget* parent)
    : QDialog(parent), layout_(layout), dialogs_(dialogs) {
    setObjectName(QStringLiteral("printLayoutDialog"));
    setWindowTitle(QStringLiteral("Convention card print options and layout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    layout_.setPaperSizes(printerPaperSizes());
    buildControls();
    showSettings();
}

void PrintLayoutDialog::buildControls() {
    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsForm = new QFormLayout;
    const auto addList = [&](const char* name, const char* caption, const QStringList& items) {
        auto* list = new QComboBox(options);
        list->setObjectName(QLatin1String(name));
        list->addItems(items);
        optionsForm->addRow(QLatin1String(caption), list);
        return list;
    };
    paper_ = addList("paperSize", "Page size", {});
    for (const QPageSize& paper : layout_.paperSizes()) paper_->addItem(paper.name());
    unit_ = addList("unitOfMeasure", "Unit of measure",
                    {QStringLiteral("Inches"), QStringLiteral("Milimeters")});
    orientation_ = addList("orientation", "Page orientation",
                           {QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    columns_ = addList("layoutColumns", "Number of columns",
                       {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});

    auto* symbols = new QGroupBox(QStringLiteral("Printed Card symbols"), options);
    symbols->setObjectName(QStringLiteral("suitPrintMode"));
    suitMode_ = new QButtonGroup(symbols);
    auto* symbolRows = new QVBoxLayout(symbols);
    const char* choices[] = {"Bit maps", "Letters (SHDC)", "Fonts"};
    for (int i = 0; i < 3; ++i) {
        auto* choice = new QRadioButton(QLatin1String(choices[i]), symbols);
        suitMode_->addButton(choice, i);
        symbolRows->addWidget(choice);
    }
    auto* pictures = new QHBoxLayout;
    const struct {
        const char* name;
        const char* spoken;
        char16_t suit;
        Qt::GlobalColor colour;
    } suits[] = {{"clubPicture", "Club picture", u'\u2663', Qt::black},
                 {"diamondPicture", "Diamond picture", u'\u2666', Qt::red},
                 {"heartPicture", "Heart picture", u'\u2665', Qt::red},
                 {"spadePicture", "Spade picture", u'\u2660', Qt::black}};
    for (const auto& suit : suits) {
        auto* picture = new QLabel(options);
        picture->setObjectName(QLatin1String(suit.name));
        picture->setAccessibleName(QLatin1String(suit.spoken));
        picture->setPixmap(suitPicture(suit.suit, suit.colour));
        pictures->addWidget(picture);
    }
    pictures->addStretch();
    auto* symbolsRow = new QHBoxLayout;
    symbolsRow->addWidget(symbols);
    symbolsRow->addLayout(pictures);

    openBids_ = new QCheckBox(QStringLiteral("Show opening bids on all lines"), options);
    openBids_->setObjectName(QStringLiteral("openBidsOnAllLines"));
    auto* optionsColumn = new QVBoxLayout(options);
    optionsColumn->addLayout(optionsForm);
    optionsColumn->addLayout(symbolsRow);
    optionsColumn->addWidget(openBids_);
    optionsColumn->addStretch();

    auto* page = new QGroupBox(QStringLiteral("Layout"), this);
    auto* pageForm = new QFormLayout(page);
    // Intermediate text such as "" or "." is allowed while typing; "Done"
    // then reports the field it cannot read.
    auto* picture = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,3}(\\.\\d{0,2})?")), this);
    const char* marginNames[] = {"topMargin", "bottomMargin", "leftMargin", "rightMargin"};
    const char* marginCaptions[] = {"Top margin", "Bottom margin", "Left margin", "Right margin"};
    for (size_t i = 0; i < margins_.size(); ++i) {
        margins_[i] = new QLineEdit(QStringLiteral("0.25"), page);
        margins_[i]->setObjectName(QLatin1String(marginNames[i]));
        margins_[i]->setMaxLength(kMarginFieldLength);
        margins_[i]->setValidator(picture);
        pageForm->addRow(QLatin1String(marginCaptions[i]), margins_[i]);
    }
    const auto addSize = [&](const char* name) {
        auto* label = new QLabel(page);
        label->setObjectName(QLatin1String(name));
        pageForm->addRow(label);
        return label;
    };
    pageWidth_ = addSize("pageWidth");
    pageHeight_ = addSize("pageHeight");
    columnWidth_ = addSize("columnWidth");

    auto* notes = new QGroupBox(QStringLiteral("Notes new page"), this);
    auto* notesColumn = new QVBoxLayout(notes);
    newNote_ = new QCheckBox(QStringLiteral("On new Note"), notes);
    newNote_->setObjectName(QStringLiteral("newPageForNote"));
    brownSticker_ = new QCheckBox(QStringLiteral("On Brown sticker"), notes);
    brownSticker_->setObjectName(QStringLiteral("newPageForBrownSticker"));
    notesColumn->addWidget(newNote_);
    notesColumn->addWidget(brownSticker_);
    notesColumn->addStretch();

    auto* doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setDefault(true);
    auto* resetButton = new QPushButton(QStringLiteral("Reset"), this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    resetButton->setAutoDefault(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(options);
    groups->addWidget(page);
    groups->addWidget(notes);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(doneButton);
    buttons->addWidget(resetButton);
    auto* window = new QVBoxLayout(this);
    window->addLayout(groups);
    window->addLayout(buttons);

    connect(paper_, &QComboBox::currentIndexChanged, this, &PrintLayoutDialog::paperChanged);
    connect(unit_, &QComboBox::currentIndexChanged, this, &PrintLayoutDialog::unitChanged);
    connect(orientation_, &QComboBox::currentIndexChanged, this,
            &PrintLayoutDialog::orientationChanged);
    connect(columns_, &QComboBox::currentIndexChanged, this, &PrintLayoutDialog::columnsChanged);
    // The choices below are read by printing whenever it runs, so they take
    // effect as they are made.
    connect(suitMode_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) layout_.setSuitModeIndex(id);
    });
    connect(openBids_, &QCheckBox::toggled, this,
            [this](bool on) { layout_.setOpenBidsOnAllLines(on); });
    connect(newNote_, &QCheckBox::toggled, this,
            [this](bool on) { layout_.setNewPageForEachNote(on); });
    connect(brownSticker_, &QCheckBox::toggled, this,
            [this](bool on) { layout_.setNewPageForBrownSticker(on); });
    connect(doneButton, &QPushButton::clicked, this, &PrintLayoutDialog::acceptLayout);
    connect(resetButton, &QPushButton::clicked, this, &PrintLayoutDialog::reset);
}

void PrintLayoutDialog::showSettings() {
    // Only the user's changes of the lists are commands.
    const QSignalBlocker blockPaper(paper_);
    const QSignalBlocker blockUnit(unit_);
    const QSignalBlocker blockOrientation(orientation_);
    const QSignalBlocker blockColumns(columns_);
    zqw::CardPageSetup& page = layout_.pageSetup();
    unit_->setCurrentIndex(layout_.measureUnit() == zqw::LengthUnit::Inches ? 0 : 1);
    orientation_->setCurrentIndex(page.orientation() == zqw::PageOrientation::Portrait ? 0 : 1);
    columns_->setCurrentIndex(layout_.layoutColumns() - 1);
    paper_->setCurrentIndex(layout_.paperIndex(QString::fromStdString(page.paperName())));
    if (QAbstractButton* choice = suitMode_->button(layout_.suitModeIndex()))
        choice->setChecked(true);
    openBids_->setChecked(layout_.openBidsOnAllLines());
    newNote_->setChecked(layout_.newPageForEachNote());
    brownSticker_->setChecked(layout_.newPageForBrownSticker());
    const zqw::LengthUnit working = page.unit();
    page.setUnit(layout_.measureUnit());
    const auto margins = pageMargins();
    page.setUnit(working);
    for (size_t i = 0; i < margins.size(); ++i) {
        if (const auto text = marginText(margins[i])) margins_[i]->setText(*text);
    }
}

zqw::LengthUnit PrintLayoutDialog::selectedUnit() const {
    return unit_->currentIndex() == 0 ? zqw::LengthUnit::Inches : zqw::LengthUnit::Millimetres;
}

std::array<double, 4> PrintLayoutDialog::pageMargins() const {
    const zqw::CardPageSetup& page = layout_.pageSetup();
    return {page.topMargin(), page.bottomMargin(), page.leftMargin(), page.rightMargin()};
}

void PrintLayoutDialog::showPageSetup() {
    zqw::CardPageSetup& page = layout_.pageSetup();
    {
        const QSignalBlocker blockUnit(unit_);
        const QSignalBlocker blockOrientation(orientation_);
        const QSignalBlocker blockColumns(columns_);
        if (page.unit() == zqw::LengthUnit::Inches) unit_->setCurrentIndex(0);
        if (page.unit() == zqw::LengthUnit::Millimetres) unit_->setCurrentIndex(1);
        orientation_->setCurrentIndex(page.orientation() == zqw::PageOrientation::Portrait ? 0 : 1);
        columns_->setCurrentIndex(layout_.layoutColumns() - 1);
    }
    const auto margins = pageMargins();
    for (size_t i = 0; i < margins.size(); ++i) {
        const std::optional<QString> text = marginText(margins[i]);
        if (!text) {
            dialogs_.message(QStringLiteral("error: setup"));
            break;
        }
        margins_[i]->setText(*text);
    }
    pageWidth_->setText(sizeText("Page width ", page.paperWidth()));
    pageHeight_->setText(sizeText("Page height ", page.paperHeight()));
    showColumnWidth();
}

void PrintLayoutDialog::showColumnWidth() {
    // The whole paper width, not the printable one: a rough guide only.
    columnWidth_->setText(
        sizeText("Column width ", layout_.pageSetup().paperWidth() / layout_.layoutColumns()));
}

void PrintLayoutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    layout_.pageSetup().setUnit(layout_.measureUnit());
    showPageSetup();
    snapshot_.unit = unit_->currentIndex();
    snapshot_.orientation = orientation_->currentIndex();
    snapshot_.columns = columns_->currentIndex();
    snapshot_.paper = paper_->currentIndex();
    snapshot_.suitMode = suitMode_->checkedId();
    snapshot_.newNote = newNote_->isChecked();
    snapshot_.openBids = openBids_->isChecked();
    snapshot_.brownSticker = brownSticker_->isChecked();
    snapshot_.margins = pageMargins();
}

void PrintLayoutDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // Everyone else measures the page in printer pixels.
    if (!event->spontaneous()) layout_.pageSetup().setUnit(zqw::LengthUnit::PrinterPixels);
}

void PrintLayoutDialog::paperChanged() {
    zqw::CardPageSetup& page = layout_.pageSetup();
    const std::string previous = page.paperName();
    page.setPaperName(paper_->currentText().toStdString());
    // These changes act at once, so a paper too small for the margins in
    // force is refused here, not at "Done".
    if (const std::string problem = page.marginProblem(); !problem.empty()) {
        page.setPaperName(previous);
        const QSignalBlocker block(paper_);
        paper_->setCurrentIndex(paper_->findText(QString::fromStdString(previous)));
        dialogs_.message(QString::fromStdString(problem));
    }
    showPageSetup();
}

void PrintLayoutDialog::unitChanged() {
    layout_.pageSetup().setUnit(selectedUnit());
    showPageSetup();
}

void PrintLayoutDialog::orientationChanged() {
    zqw::CardPageSetup& page = layout_.pageSetup();
    const zqw::PageOrientation previous = page.orientation();
    page.setOrientation(orientation_->currentIndex() == 0 ? zqw::PageOrientation::Portrait
                                                          : zqw::PageOrientation::Landscape);
    if (const std::string problem = page.marginProblem(); !problem.empty()) {
        page.setOrientation(previous);
        const QSignalBlocker block(orientation_);
        orientation_->setCurrentIndex(previous == zqw::PageOrientation::Portrait ? 0 : 1);
        dialogs_.message(QString::fromStdString(problem));
    }
    showPageSetup();
}

void PrintLayoutDialog::columnsChanged() {
    layout_.setLayoutColumns(columns_->currentIndex() + 1);
    showColumnWidth();
}

void PrintLayoutDialog::applyControls() {
    zqw::CardPageSetup& page = layout_.pageSetup();
    layout_.setMeasureUnit(selectedUnit());
    page.setUnit(layout_.measureUnit());
    page.setOrientation(orientation_->currentIndex() == 0 ? zqw::PageOrientation::Portrait
                                                          : zqw::PageOrientation::Landscape);
    layout_.setLayoutColumns(columns_->currentIndex() + 1);
    page.setPaperName(paper_->currentText().toStdString());
    for (size_t i = 0; i < margins_.size(); ++i) {
        const std::optional<double> value = marginValue(margins_[i]);
        if (!value) {
            dialogs_.message(QStringLiteral("Error: BitBtn1Click"));
            return;
        }
        (page.*kMarginSetters[i])(*value);
    }
}

void PrintLayoutDialog::acceptLayout() {
    // Margins that leave nothing to print on are refused: the window stays
    // open with the fields as typed, and nothing is applied.
    if (const QString problem = marginProblem(); !problem.isEmpty()) {
        dialogs_.message(problem);
        return;
    }
    applyControls();
    accept();
}

QString PrintLayoutDialog::marginProblem() const {
    zqw::CardPageSetup page = layout_.pageSetup();
    page.setUnit(selectedUnit());
    page.setOrientation(orientation_->currentIndex() == 0 ? zqw::PageOrientation::Portrait
                                                          : zqw::PageOrientation::Landscape);
    page.setPaperName(paper_->currentText().toStdString());
    for (size_t i = 0; i < margins_.size(); ++i) {
        const std::optional<double> value = marginValue(margins_[i]);
        // An unreadable field has a message of its own when applied.
        if (!value) return {};
        (page.*kMarginSetters[i])(*value);
    }
    return QString::fromStdString(page.marginProblem());
}

void PrintLayoutDialog::reset() {
    {
        const QSignalBlocker blockPaper(paper_);
        const QSignalBlocker blockUnit(unit_);
        const QSignalBlocker blockOrientation(orientation_);
        const QSignalBlocker blockColumns(columns_);
        unit_->setCurrentIndex(snapshot_.unit);
        orientation_->setCurrentIndex(snapshot_.orientation);
        columns_->setCurrentIndex(snapshot_.columns);
        paper_->setCurrentIndex(snapshot_.paper);
    }
    // An exclusive group refuses to clear its last choice, and the snapshot
    // may hold none.
    suitMode_->setExclusive(false);
    for (QAbstractButton* choice : suitMode_->buttons())
        choice->setChecked(suitMode_->id(choice) == snapshot_.suitMode);
    suitMode_->setExclusive(true);
    layout_.setSuitModeIndex(snapshot_.suitMode);
    newNote_->setChecked(snapshot_.newNote);
    openBids_->setChecked(snapshot_.openBids);
    brownSticker_->setChecked(snapshot_.brownSticker);
    for (size_t i = 0; i < margins_.size(); ++i) {
        const std::optional<QString> text = marginText(snapshot_.margins[i]);
        if (!text) {
            dialogs_.message(QStringLiteral("error: BitBtn2Click"));
            break;
        }
        margins_[i]->setText(*text);
    }
    applyControls();
    showPageSetup();
}
