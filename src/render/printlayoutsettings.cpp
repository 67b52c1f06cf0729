#include "render/printlayoutsettings.h"

#include <QSet>
#include <QSizeF>
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/inifile.h"

namespace {

// Keys of the four margins, in the order top, bottom, left, right. The
// bottom margin is read as "Bottomm" and written as "bottomm": the file's
// keys match without regard to case, so both name one entry.
constexpr std::array<const char*, 4> kMarginReadKeys = {"topm", "Bottomm", "leftm", "rightm"};
constexpr std::array<const char*, 4> kMarginWriteKeys = {"topm", "bottomm", "leftm", "rightm"};

using MarginSetter = void (zqw::CardPageSetup::*)(double);
constexpr std::array<MarginSetter, 4> kMarginSetters = {
    &zqw::CardPageSetup::setTopMargin, &zqw::CardPageSetup::setBottomMargin,
    &zqw::CardPageSetup::setLeftMargin, &zqw::CardPageSetup::setRightMargin};

// The margin fields show two decimals and hold at most "100.00".
bool showableMargin(double value) {
    const double shown = std::round(value * 100) / 100;
    return std::isfinite(shown) && shown >= 0 && shown <= PrintLayoutSettings::kLargestMargin;
}

}  // namespace

PrintLayoutSettings::PrintLayoutSettings() {
    setPaperSizes(allPaperSizes());
    pageSetup_.setOrientation(zqw::PageOrientation::Landscape);
    pageSetup_.setUnit(zqw::LengthUnit::Inches);
    for (MarginSetter setter : kMarginSetters) (pageSetup_.*setter)(kDefaultMargin);
    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
}

QList<QPageSize> PrintLayoutSettings::allPaperSizes() {
    QList<QPageSize> sizes;
    for (int id = 0; id <= QPageSize::LastPageSize; ++id)
        sizes.append(QPageSize(static_cast<QPageSize::PageSizeId>(id)));
    return sizes;
}

void PrintLayoutSettings::setPaperSizes(const QList<QPageSize>& sizes) {
    papers_.clear();
    QSet<QString> seen;
    for (const QPageSize& size : sizes) {
        if (!size.isValid() || seen.contains(size.name().toLower())) continue;
        seen.insert(size.name().toLower());
        papers_.append(size);
    }
    pageSetup_.setPaperLookup([this](std::string_view name) -> std::optional<zqw::PaperSize> {
        const int index = paperIndex(QString::fromUtf8(name.data(), qsizetype(name.size())));
        if (index < 0) return std::nullopt;
        const QSizeF mm = papers_[index].size(QPageSize::Millimeter);
        return zqw::PaperSize{mm.width(), mm.height()};
    });
}

int PrintLayoutSettings::paperIndex(const QString& name) const {
    const QString wanted = name.trimmed();
    if (wanted.isEmpty()) return -1;
    const auto same = [&](const QString& text) {
        return text.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
    };
    for (int i = 0; i < papers_.size(); ++i) {
        if (same(papers_[i].name())) return i;
    }
    for (int i = 0; i < papers_.size(); ++i) {
        if (same(papers_[i].key())) return i;
        const QStringList parts = papers_[i].name().split(u'/');
        if (parts.size() > 1 && std::any_of(parts.begin(), parts.end(), same)) return i;
    }
    return -1;
}

QString PrintLayoutSettings::marginProblem() const {
    zqw::CardPageSetup page = pageSetup_;
    page.setUnit(measureUnit_);
    return QString::fromStdString(page.marginProblem());
}

void PrintLayoutSettings::setLayoutColumns(int columns) {
    layoutColumns_ = std::clamp(columns, 1, 3);
}

SuitPrintMode PrintLayoutSettings::suitMode() const {
    switch (suitMode_) {
        case 0:
            return SuitPrintMode::BitMaps;
        case 2:
            return SuitPrintMode::Fonts;
        default:
            return SuitPrintMode::Letters;
    }
}

QStringList PrintLayoutSettings::read(const IniFile& settings) {
    QStringList messages;
    // The print windows' last paper and bin come first; the layout's own
    // sheet then takes the paper's place.
    pageSetup_.setPaperName(
        settings.readString(QStringLiteral("rbPaper"), QStringLiteral("A4")).toStdString());
    pageSetup_.setBinName(
        settings.readString(QStringLiteral("rbBin"), QStringLiteral("Default")).toStdString());

    // Stored list positions: anything but the first unit entry reads as
    // millimetres, anything but portrait as landscape, and a column entry
    // outside the list as one column, as the lists themselves would.
    measureUnit_ = settings.readInt(QStringLiteral("Unit"), 0) == 0 ? zqw::LengthUnit::Inches
                                                                    : zqw::LengthUnit::Millimetres;
    const int bitMap = settings.readInt(QStringLiteral("BitMap"), 2);
    if (bitMap >= 0 && bitMap <= 2) suitMode_ = bitMap;
    newNote_ = settings.readBool(QStringLiteral("NewNote"), false);
    openBids_ = settings.readBool(QStringLiteral("OpenBids"), true);
    brownSticker_ = settings.readBool(QStringLiteral("Brown"), true);
    pageSetup_.setOrientation(settings.readInt(QStringLiteral("Orient"), 1) == 0
                                  ? zqw::PageOrientation::Portrait
                                  : zqw::PageOrientation::Landscape);
    const int columns = settings.readInt(QStringLiteral("columns"), 2);
    layoutColumns_ = columns >= 0 && columns <= 2 ? columns + 1 : 1;

    const QString sheet = settings.readString(QStringLiteral("Sheet"), QStringLiteral("A4"));
    const int paper = paperIndex(sheet);
    if (paper >= 0) {
        pageSetup_.setPaperName(papers_[paper].name().toStdString());
    } else {
        // An unknown paper keeps the one the print windows last used (A4
        // unless they say otherwise), and the user is told.
        const int previous = paperIndex(QString::fromStdString(pageSetup_.paperName()));
        const QString used = previous >= 0 ? papers_[previous].name() : QStringLiteral("A4");
        pageSetup_.setPaperName(used.toStdString());
        messages << QStringLiteral("The paper size \"%1\" is not known: the card prints on %2.")
                        .arg(sheet, used);
    }

    std::array<double, 4> margins;
    margins.fill(kDefaultMargin);
    for (size_t i = 0; i < margins.size(); ++i) {
        const double value = settings.readInt(QLatin1String(kMarginReadKeys[i]), 25) / 100.0;
        if (!showableMargin(value)) {
            messages << QStringLiteral("error: CardDef");
            break;
        }
        margins[i] = value;
    }
    pageSetup_.setUnit(measureUnit_);
    for (size_t i = 0; i < margins.size(); ++i) (pageSetup_.*kMarginSetters[i])(margins[i]);
    // Margins that leave nothing to print on would print blank pages and
    // shrink the grids to nothing: say so and take the design margins.
    if (const std::string problem = pageSetup_.marginProblem(); !problem.empty()) {
        messages << QString::fromStdString(problem) +
                        QStringLiteral(" The margins are set to 0.25 in (6.35 mm).");
        pageSetup_.setUnit(zqw::LengthUnit::Inches);
        for (MarginSetter setter : kMarginSetters) (pageSetup_.*setter)(kDefaultMargin);
    }
    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
    return messages;
}

void PrintLayoutSettings::write(IniFile& settings) {
    settings.writeBool(QStringLiteral("NewNote"), newNote_);
    settings.writeBool(QStringLiteral("Brown"), brownSticker_);
    settings.writeBool(QStringLiteral("OpenBids"), openBids_);
    settings.writeInt(QStringLiteral("BitMap"), suitMode_);
    settings.writeInt(QStringLiteral("unit"), measureUnit_ == zqw::LengthUnit::Inches ? 0 : 1);
    settings.writeInt(QStringLiteral("Orient"),
                      pageSetup_.orientation() == zqw::PageOrientation::Portrait ? 0 : 1);
    settings.writeInt(QStringLiteral("columns"), layoutColumns_ - 1);
    settings.writeString(QStringLiteral("Sheet"), QString::fromStdString(pageSetup_.paperName()));
    pageSetup_.setUnit(measureUnit_);
    const std::array<double, 4> margins = {pageSetup_.topMargin(), pageSetup_.bottomMargin(),
                                           pageSetup_.leftMargin(), pageSetup_.rightMargin()};
    for (size_t i = 0; i < margins.size(); ++i) {
        settings.writeInt(QLatin1String(kMarginWriteKeys[i]), zqw::roundHalfEven(margins[i] * 100));
    }
    pageSetup_.setUnit(zqw::LengthUnit::PrinterPixels);
}

int PrintLayoutSettings::printColumnWidth(const zqw::Card& card, int section, double screenDpi) {
    pageSetup_.setScreenDpi(screenDpi);
    return pageSetup_.printColumnWidth(card, section, layoutColumns_);
}
