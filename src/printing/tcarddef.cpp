#include "tcarddef.h"

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
#include <QScreen>
#include <QSet>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/inifile.h"
#include "platform/userdialogs.h"

namespace {

constexpr double kLargestMargin = 100;
// The margin fields show lengths this way; they hold at most "100.00".
constexpr int kMarginFieldLength = 6;

// A margin as the entry fields show it; nullopt when it does not fit their
// picture (negative, over 100 or not a number).
std::optional<QString> marginText(double value) {
    const double shown = std::round(value * 100) / 100;
    if (!std::isfinite(shown) || shown < 0 || shown > kLargestMargin) return std::nullopt;
    return QString::number(shown, 'f', 2);
}

// The value of a margin field; nullopt when it holds no number the fields
// allow.
std::optional<double> marginValue(const QLineEdit* field) {
    bool ok = false;
    const double value = QLocale::c().toDouble(field->text().trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kLargestMargin) return std::nullopt;
    return value;
}

QString sizeText(const char* caption, double value) {
    return QLatin1String(caption) + QString::asprintf("%4.2f", value);
}

// The small suit picture shown beside the "Bit maps" choice, drawn from the
// suit character of the ordinary system font.
QPixmap suitPicture(char16_t suit, const QColor& colour) {
    QPixmap picture(11, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(picture.rect(), Qt::AlignCenter, QString(QChar(suit)));
    return picture;
}

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : zqw::CardPageSetup::kDefaultScreenDpi;
}

}  // namespace

QList<QPageSize> availablePaperSizes() {
    QList<QPageSize> offered;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) offered = printer.supportedPageSizes();
    if (offered.isEmpty()) {
        for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
            offered.append(QPageSize(static_cast<QPageSize::PageSizeId>(id)));
        }
    }
    QList<QPageSize> sizes;
    QSet<QString> seen;
    for (const QPageSize& size : offered) {
        if (!size.isValid() || seen.contains(size.name().toLower())) continue;
        seen.insert(size.name().toLower());
        sizes.append(size);
    }
    return sizes;
}

TCardDef::TCardDef(zqw::Card& card, IniFile& settings, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      card_(card),
      settings_(settings),
      dialogs_(dialogs),
      papers_(availablePaperSizes()) {
    setObjectName(QStringLiteral("CardDef"));
    setWindowTitle(QStringLiteral("Convention card print options and layout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    buildControls();

    pageSetup_.setPaperLookup([this](std::string_view name) -> std::optional<zqw::PaperSize> {
        const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        for (const QPageSize& paper : papers_) {
            if (paper.name().compare(wanted, Qt::CaseInsensitive) != 0) continue;
            const QSizeF mm = paper.size(QPageSize::Millimeter);
            return zqw::PaperSize{mm.width(), mm.height()};
        }
        return std::nullopt;
    });
    // The page setup is born here, so it starts from the paper and bin the
    // card print settings last used; FormCreate then puts the layout's own
    // sheet in place of the paper.
    pageSetup_.setPaperName(
        settings_.readString(QStringLiteral("rbPaper"), QStringLiteral("A4")).toStdString());
    pageSetup_.setBinName(
        settings_.readString(QStringLiteral("rbBin"), QStringLiteral("Default")).toStdString());
    FormCreate();
}

void TCardDef::buildControls() {
    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("GroupBox1"));
    auto* optionsForm = new QFormLayout;
    const auto addList = [&](QComboBox*& list, const char* name, const char* caption,
                             const QStringList& items) {
        list = new QComboBox(options);
        list->setObjectName(QLatin1String(name));
        list->addItems(items);
        optionsForm->addRow(QLatin1String(caption), list);
    };
    addList(Pagesize, "Pagesize", "Page size", {});
    addList(UnitMeasure, "UnitMeasure", "Unit of measure",
            {QStringLiteral("Inches"), QStringLiteral("Milimeters")});
    addList(PageOrient, "PageOrient", "Page orientation",
            {QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    addList(ColumnCount, "ColumnCount", "Number of columns",
            {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    for (const QPageSize& paper : papers_) Pagesize->addItem(paper.name());

    auto* symbols = new QGroupBox(QStringLiteral("Printed Card symbols"), options);
    symbols->setObjectName(QStringLiteral("rgBitMap"));
    rgBitMap = new QButtonGroup(symbols);
    auto* symbolRows = new QVBoxLayout(symbols);
    const char* choices[] = {"Bit maps", "Letters (SHDC)", "Fonts"};
    for (int i = 0; i < 3; ++i) {
        auto* choice = new QRadioButton(QLatin1String(choices[i]), symbols);
        rgBitMap->addButton(choice, i);
        symbolRows->addWidget(choice);
    }
    auto* pictures = new QHBoxLayout;
    const struct {
        const char* name;
        char16_t suit;
        Qt::GlobalColor colour;
    } suits[] = {{"ClubPicture", u'\u2663', Qt::black},
                 {"DiamondPicture", u'\u2666', Qt::red},
                 {"HeartPicture", u'\u2665', Qt::red},
                 {"SpadePicture", u'\u2660', Qt::black}};
    for (const auto& suit : suits) {
        auto* picture = new QLabel(options);
        picture->setObjectName(QLatin1String(suit.name));
        picture->setPixmap(suitPicture(suit.suit, suit.colour));
        pictures->addWidget(picture);
    }
    pictures->addStretch();
    auto* symbolsRow = new QHBoxLayout;
    symbolsRow->addWidget(symbols);
    symbolsRow->addLayout(pictures);

    cbOpenBids = new QCheckBox(QStringLiteral("Show opening bids on all lines"), options);
    cbOpenBids->setObjectName(QStringLiteral("cbOpenBids"));
    auto* optionsColumn = new QVBoxLayout(options);
    optionsColumn->addLayout(optionsForm);
    optionsColumn->addLayout(symbolsRow);
    optionsColumn->addWidget(cbOpenBids);
    optionsColumn->addStretch();

    auto* layout = new QGroupBox(QStringLiteral("Layout"), this);
    layout->setObjectName(QStringLiteral("GroupBox2"));
    auto* layoutForm = new QFormLayout(layout);
    // Intermediate text such as "" or "." is allowed while typing; "Done"
    // then reports the field it cannot read.
    auto* picture = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,3}(\\.\\d{0,2})?")), this);
    const auto addMargin = [&](QLineEdit*& field, const char* name, const char* caption) {
        field = new QLineEdit(QStringLiteral("0.25"), layout);
        field->setObjectName(QLatin1String(name));
        field->setMaxLength(kMarginFieldLength);
        field->setValidator(picture);
        layoutForm->addRow(QLatin1String(caption), field);
    };
    addMargin(TopM, "TopM", "Top margin");
    addMargin(BottomM, "BottomM", "Bottom margin");
    addMargin(LeftM, "LeftM", "Left margin");
    addMargin(RightM, "RightM", "Right margin");
    const auto addSize = [&](QLabel*& label, const char* name) {
        label = new QLabel(layout);
        label->setObjectName(QLatin1String(name));
        layoutForm->addRow(label);
    };
    addSize(PWidth, "PWidth");
    addSize(PHeight, "PHeight");
    addSize(CWidth, "CWidth");

    auto* notes = new QGroupBox(QStringLiteral("Notes new page"), this);
    notes->setObjectName(QStringLiteral("GroupBox3"));
    auto* notesColumn = new QVBoxLayout(notes);
    cbNewNote = new QCheckBox(QStringLiteral("On new Note"), notes);
    cbNewNote->setObjectName(QStringLiteral("cbNewNote"));
    cbBrownSticker = new QCheckBox(QStringLiteral("On Brown sticker"), notes);
    cbBrownSticker->setObjectName(QStringLiteral("cbBrownSticker"));
    notesColumn->addWidget(cbNewNote);
    notesColumn->addWidget(cbBrownSticker);
    notesColumn->addStretch();

    BitBtn1 = new QPushButton(QStringLiteral("Done"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Reset"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(options);
    groups->addWidget(layout);
    groups->addWidget(notes);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* window = new QVBoxLayout(this);
    window->addLayout(groups);
    window->addLayout(buttons);

    const auto onUserChange = [this](QComboBox* list, void (TCardDef::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, handler] {
            if (!loading_) (this->*handler)();
        });
    };
    onUserChange(Pagesize, &TCardDef::PagesizeChange);
    onUserChange(UnitMeasure, &TCardDef::UnitMeasureChange);
    onUserChange(PageOrient, &TCardDef::PageOrientChange);
    onUserChange(ColumnCount, &TCardDef::ColumnCountChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TCardDef::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TCardDef::BitBtn2Click);
}

void TCardDef::FormCreate() {
    loading_ = true;
    UnitMeasure->setCurrentIndex(settings_.readInt(QStringLiteral("Unit"), 0));
    MeasureUnit = selectedUnit();
    pageSetup_.setUnit(MeasureUnit);

    const int bitMap = settings_.readInt(QStringLiteral("BitMap"), 2);
    if (QAbstractButton* choice = rgBitMap->button(bitMap)) choice->setChecked(true);
    cbNewNote->setChecked(settings_.readBool(QStringLiteral("NewNote"), false));
    cbOpenBids->setChecked(settings_.readBool(QStringLiteral("OpenBids"), true));
    cbBrownSticker->setChecked(settings_.readBool(QStringLiteral("Brown"), true));

    PageOrient->setCurrentIndex(settings_.readInt(QStringLiteral("Orient"), 1));
    ColumnCount->setCurrentIndex(settings_.readInt(QStringLiteral("columns"), 2));
    selectPaper(settings_.readString(QStringLiteral("Sheet"), QStringLiteral("A4")));

    const char* keys[] = {"topm", "Bottomm", "leftm", "rightm"};
    const auto fields = marginFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::optional<QString> text =
            marginText(settings_.readInt(QLatin1String(keys[i]), 25) / 100.0);
        if (!text) {
            dialogs_.message(QStringLiteral("error: CardDef"));
            break;
        }
        fields[i]->setText(*text);
    }
    loading_ = false;

    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
    applyControls();
    // Applying leaves the unit the user reads margins in; everyone else
    // measures the page in printer pixels.
    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
}

void TCardDef::selectPaper(const QString& name) {
    int found = -1;
    for (int i = 0; i < Pagesize->count() && found < 0; ++i) {
        if (Pagesize->itemText(i).compare(name, Qt::CaseInsensitive) == 0) found = i;
    }
    Pagesize->setCurrentIndex(found);
}

zqw::LengthUnit TCardDef::selectedUnit() const {
    return UnitMeasure->currentIndex() == 0 ? zqw::LengthUnit::Inches
                                            : zqw::LengthUnit::Millimetres;
}

std::array<QLineEdit*, 4> TCardDef::marginFields() const { return {TopM, BottomM, LeftM, RightM}; }

std::array<double, 4> TCardDef::pageMargins() const {
    return {pageSetup_.topMargin(), pageSetup_.bottomMargin(), pageSetup_.leftMargin(),
            pageSetup_.rightMargin()};
}

void TCardDef::Setup() {
    const bool wasLoading = loading_;
    loading_ = true;
    if (pageSetup_.unit() == zqw::LengthUnit::Inches) UnitMeasure->setCurrentIndex(0);
    if (pageSetup_.unit() == zqw::LengthUnit::Millimetres) UnitMeasure->setCurrentIndex(1);
    PageOrient->setCurrentIndex(pageSetup_.orientation() == zqw::PageOrientation::Portrait ? 0 : 1);
    ColumnCount->setCurrentIndex(layoutColumns_ - 1);
    loading_ = wasLoading;

    const auto fields = marginFields();
    const auto margins = pageMargins();
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::optional<QString> text = marginText(margins[i]);
        if (!text) {
            dialogs_.message(QStringLiteral("error: setup"));
            break;
        }
        fields[i]->setText(*text);
    }

    PWidth->setText(sizeText("Page width ", pageSetup_.paperWidth()));
    PHeight->setText(sizeText("Page height ", pageSetup_.paperHeight()));
    showColumnWidth();
}

void TCardDef::showColumnWidth() {
    // The whole paper width, not the printable one: a rough guide only.
    CWidth->setText(sizeText("Column width ", pageSetup_.paperWidth() / layoutColumns_));
}

void TCardDef::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TCardDef::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) FormDeactivate();
}

void TCardDef::FormActivate() {
    pageSetup_.setUnit(MeasureUnit);
    Setup();
    LayoutSnapshot.unit = UnitMeasure->currentIndex();
    LayoutSnapshot.orientation = PageOrient->currentIndex();
    LayoutSnapshot.columns = ColumnCount->currentIndex();
    LayoutSnapshot.paper = Pagesize->currentIndex();
    LayoutSnapshot.bitMap = rgBitMap->checkedId();
    LayoutSnapshot.newNote = cbNewNote->isChecked();
    LayoutSnapshot.openBids = cbOpenBids->isChecked();
    LayoutSnapshot.brownSticker = cbBrownSticker->isChecked();
    LayoutSnapshot.margins = pageMargins();
}

void TCardDef::FormDeactivate() { pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels); }

void TCardDef::PagesizeChange() {
    pageSetup_.setPaperName(Pagesize->currentText().toStdString());
    Setup();
}

void TCardDef::UnitMeasureChange() {
    pageSetup_.setUnit(selectedUnit());
    Setup();
}

void TCardDef::PageOrientChange() {
    pageSetup_.setOrientation(PageOrient->currentIndex() == 0 ? zqw::PageOrientation::Portrait
                                                              : zqw::PageOrientation::Landscape);
    Setup();
}

void TCardDef::ColumnCountChange() {
    layoutColumns_ = std::clamp(ColumnCount->currentIndex() + 1, 1, 3);
    showColumnWidth();
}

void TCardDef::applyControls() {
    MeasureUnit = selectedUnit();
    pageSetup_.setUnit(MeasureUnit);
    pageSetup_.setOrientation(PageOrient->currentIndex() == 0 ? zqw::PageOrientation::Portrait
                                                              : zqw::PageOrientation::Landscape);
    layoutColumns_ = std::clamp(ColumnCount->currentIndex() + 1, 1, 3);
    pageSetup_.setPaperName(Pagesize->currentText().toStdString());

    using Setter = void (zqw::CardPageSetup::*)(double);
    const Setter setters[] = {
        &zqw::CardPageSetup::setTopMargin, &zqw::CardPageSetup::setBottomMargin,
        &zqw::CardPageSetup::setLeftMargin, &zqw::CardPageSetup::setRightMargin};
    const auto fields = marginFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::optional<double> value = marginValue(fields[i]);
        if (!value) {
            dialogs_.message(QStringLiteral("Error: BitBtn1Click"));
            return;
        }
        (pageSetup_.*setters[i])(*value);
    }
}

void TCardDef::BitBtn1Click() {
    applyControls();
    accept();
}

void TCardDef::BitBtn2Click() {
    loading_ = true;
    UnitMeasure->setCurrentIndex(LayoutSnapshot.unit);
    PageOrient->setCurrentIndex(LayoutSnapshot.orientation);
    ColumnCount->setCurrentIndex(LayoutSnapshot.columns);
    Pagesize->setCurrentIndex(LayoutSnapshot.paper);
    // An exclusive group refuses to clear its last choice, and the snapshot
    // may hold none.
    rgBitMap->setExclusive(false);
    for (QAbstractButton* choice : rgBitMap->buttons())
        choice->setChecked(rgBitMap->id(choice) == LayoutSnapshot.bitMap);
    rgBitMap->setExclusive(true);
    cbNewNote->setChecked(LayoutSnapshot.newNote);
    cbOpenBids->setChecked(LayoutSnapshot.openBids);
    cbBrownSticker->setChecked(LayoutSnapshot.brownSticker);
    const auto fields = marginFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::optional<QString> text = marginText(LayoutSnapshot.margins[i]);
        if (!text) {
            dialogs_.message(QStringLiteral("error: BitBtn2Click"));
            break;
        }
        fields[i]->setText(*text);
    }
    loading_ = false;
    applyControls();
    Setup();
}

void TCardDef::FormDestroy() {
    pageSetup_.setUnit(MeasureUnit);
    Setup();
    settings_.writeBool(QStringLiteral("NewNote"), cbNewNote->isChecked());
    settings_.writeBool(QStringLiteral("Brown"), cbBrownSticker->isChecked());
    settings_.writeBool(QStringLiteral("OpenBids"), cbOpenBids->isChecked());
    settings_.writeInt(QStringLiteral("BitMap"), rgBitMap->checkedId());
    settings_.writeInt(QStringLiteral("unit"), UnitMeasure->currentIndex());
    settings_.writeInt(QStringLiteral("Orient"), PageOrient->currentIndex());
    settings_.writeInt(QStringLiteral("columns"), ColumnCount->currentIndex());
    settings_.writeString(QStringLiteral("Sheet"), Pagesize->currentText());
    const char* keys[] = {"topm", "bottomm", "leftm", "rightm"};
    const auto margins = pageMargins();
    for (size_t i = 0; i < margins.size(); ++i) {
        settings_.writeInt(QLatin1String(keys[i]), zqw::roundHalfEven(margins[i] * 100));
    }
    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
}

int TCardDef::rgBitMapIndex() const { return rgBitMap->checkedId(); }

bool TCardDef::openBidsOnAllLines() const { return cbOpenBids->isChecked(); }

bool TCardDef::newNotePage() const { return cbNewNote->isChecked(); }

bool TCardDef::brownStickerPage() const { return cbBrownSticker->isChecked(); }

int TCardDef::printColumnWidth(int section) {
    pageSetup_.setScreenDpi(screenDpi());
    return pageSetup_.printColumnWidth(card_, section, layoutColumns_);
}
