#include "render/reportarchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "card/card.h"
#include "card/filelimits.h"
#include "card/messagesink.h"
#include "card/plainnotes.h"
#include "render/cardpagepainter.h"
#include "render/displayfontsettings.h"
#include "render/notespagepainter.h"
#include "render/outputfile.h"
#include "render/printlayoutsettings.h"

namespace {

constexpr char kMagic[8] = {'Z', 'Q', 'W', 'R', 'A', 'F', '\x1a', '\n'};
constexpr quint8 kCardKind = 1;
constexpr quint8 kNotesKind = 2;
constexpr quint8 kNoSuitMode = 255;

// Paper from a small label to well past A0; a page of a fraction of a
// millimetre has no size at all once it is measured in points.
constexpr quint32 kSmallestPaperUm = 10'000;
constexpr quint32 kLargestPaperUm = 5'000'000;
// The layout window shows margins up to 100 units (inches at most).
constexpr quint32 kLargestMarginUm = 2'540'000;
constexpr int kLargestPointSize = 200;
constexpr quint32 kLongestName = 1024;
// A card of kMostCardRows rows of a full cell each stays below this.
constexpr quint32 kLongestCard = 32u << 20;
constexpr qint64 kFirstJulianDay = 2415021;  // 1 January 1900
constexpr qint64 kLastJulianDay = 5373484;   // 31 December 9999

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

QString damaged(const QString& what) {
    return QStringLiteral("The report archive is damaged: %1.").arg(what);
}

quint32 toMicrometres(double mm) {
    return static_cast<quint32>(std::clamp<double>(std::lround(mm * 1000), 0, 4e9));
}

// The print settings a printout was made with, as the archive holds them.
struct PrintSettings {
    std::string paperName;
    quint32 widthUm = 0;  // upright
    quint32 heightUm = 0;
    bool landscape = false;
    std::array<quint32, 4> marginsUm = {0, 0, 0, 0};  // top, bottom, left, right
    quint8 layoutColumns = 3;
    quint8 suitMode = 2;
    bool openBids = true;
    bool newNote = false;
    bool brownSticker = true;
    std::string fontFamily;
    quint8 pointSize = DisplayFontSettings::kDefaultSize;
    quint8 notesPointSize = DisplayFontSettings::kDefaultNotesSize;
    std::array<quint8, 4> suitChars = {'}', '{', ']', '['};
};

PrintSettings settingsOf(const PrintLayoutSettings& layout, const DisplayFontSettings& fonts) {
    PrintSettings settings;
    zqw::CardPageSetup setup = layout.pageSetup();
    setup.setUnit(zqw::LengthUnit::Millimetres);
    settings.paperName = setup.paperName();
    settings.landscape = setup.orientation() == zqw::PageOrientation::Landscape;
    // The setup gives the paper as oriented.
    settings.widthUm = toMicrometres(settings.landscape ? setup.paperHeight() : setup.paperWidth());
    settings.heightUm =
        toMicrometres(settings.landscape ? setup.paperWidth() : setup.paperHeight());
    settings.marginsUm = {toMicrometres(setup.topMargin()), toMicrometres(setup.bottomMargin()),
                          toMicrometres(setup.leftMargin()), toMicrometres(setup.rightMargin())};
    settings.layoutColumns = static_cast<quint8>(std::clamp(layout.layoutColumns(), 1, 3));
    const int mode = layout.suitModeIndex();
    settings.suitMode = mode >= 0 && mode <= 2 ? static_cast<quint8>(mode) : kNoSuitMode;
    settings.openBids = layout.openBidsOnAllLines();
    settings.newNote = layout.newPageForEachNote();
    settings.brownSticker = layout.newPageForBrownSticker();
    settings.fontFamily = fonts.family.toStdString();
    settings.pointSize = static_cast<quint8>(std::clamp(fonts.pointSize, 1, kLargestPointSize));
    settings.notesPointSize =
        static_cast<quint8>(std::clamp(fonts.notesPointSize, 1, kLargestPointSize));
    const zqw::SuitChars& chars = fonts.suitChars;
    settings.suitChars = {static_cast<quint8>(chars.club), static_cast<quint8>(chars.diamond),
                          static_cast<quint8>(chars.heart), static_cast<quint8>(chars.spade)};
    return settings;
}

// Bytes read front to back; every read past the end fails and stays failed.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    qint64 left() const { return bytes_.size() - pos_; }

    const char* take(qint64 count) {
        if (!ok_ || count < 0 || count > left()) {
            ok_ = false;
            return nullptr;
        }
        const char* at = bytes_.constData() + pos_;
        pos_ += count;
        return at;
    }
    quint8 u8() {
        const char* at = take(1);
        return at ? static_cast<quint8>(*at) : 0;
    }
    quint32 u32() {
        const char* at = take(4);
        return at ? qFromBigEndian<quint32>(at) : 0;
    }
    // A text of at most `most` bytes; a longer one fails the read.
    std::string text(quint32 most) {
        const quint32 length = u32();
        if (length > most) ok_ = false;
        const char* at = take(length);
        return at ? std::string(at, length) : std::string();
    }

private:
    const QByteArray& bytes_;
    qint64 pos_ = 0;
    bool ok_ = true;
};

class Writer {
public:
    void raw(const char* data, size_t size) { bytes_.append(data, qsizetype(size)); }
    void u8(quint8 value) { bytes_.append(char(value)); }
    void u32(quint32 value) {
        char at[4];
        qToBigEndian(value, at);
        raw(at, 4);
    }
    void text(const std::string& value) {
        u32(static_cast<quint32>(value.size()));
        raw(value.data(), value.size());
    }
    QByteArray bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

void writeSettings(Writer& out, const PrintSettings& settings) {
    out.text(settings.paperName);
    out.u32(settings.widthUm);
    out.u32(settings.heightUm);
    out.u8(settings.landscape ? 1 : 0);
    for (quint32 margin : settings.marginsUm) out.u32(margin);
    out.u8(settings.layoutColumns);
    out.u8(settings.suitMode);
    out.u8(settings.openBids ? 1 : 0);
    out.u8(settings.newNote ? 1 : 0);
    out.u8(settings.brownSticker ? 1 : 0);
    out.text(settings.fontFamily);
    out.u8(settings.pointSize);
    out.u8(settings.notesPointSize);
    for (quint8 c : settings.suitChars) out.u8(c);
}

bool isFlag(quint8 value) { return value <= 1; }

// Reads and checks the settings; the reason in *why when they are unsound.
std::optional<PrintSettings> readSettings(Reader& in, QString* why) {
    PrintSettings settings;
    settings.paperName = in.text(kLongestName);
    settings.widthUm = in.u32();
    settings.heightUm = in.u32();
    const quint8 landscape = in.u8();
    for (quint32& margin : settings.marginsUm) margin = in.u32();
    settings.layoutColumns = in.u8();
    settings.suitMode = in.u8();
    const quint8 openBids = in.u8();
    const quint8 newNote = in.u8();
    const quint8 brownSticker = in.u8();
    settings.fontFamily = in.text(kLongestName);
    settings.pointSize = in.u8();
    settings.notesPointSize = in.u8();
    for (quint8& c : settings.suitChars) c = in.u8();
    if (!in.ok()) {
        *why = QStringLiteral("its print settings are cut short");
        return std::nullopt;
    }
    const auto& m = settings.marginsUm;
    const bool paperFits = settings.widthUm >= kSmallestPaperUm &&
                           settings.widthUm <= kLargestPaperUm &&
                           settings.heightUm >= kSmallestPaperUm &&
                           settings.heightUm <= kLargestPaperUm && isFlag(landscape);
    const quint32 across = landscape ? settings.heightUm : settings.widthUm;
    const quint32 down = landscape ? settings.widthUm : settings.heightUm;
    const bool marginsFit =
        std::all_of(m.begin(), m.end(), [](quint32 v) { return v <= kLargestMarginUm; }) &&
        qint64(m[2]) + m[3] + kSmallestPaperUm / 2 <= across &&
        qint64(m[0]) + m[1] + kSmallestPaperUm / 2 <= down;
    if (!paperFits || !marginsFit) {
        *why = QStringLiteral("its paper or margins are impossible");
        return std::nullopt;
    }
    if (settings.layoutColumns < 1 || settings.layoutColumns > 3 ||
        (settings.suitMode > 2 && settings.suitMode != kNoSuitMode) || !isFlag(openBids) ||
        !isFlag(newNote) || !isFlag(brownSticker) || settings.pointSize < 1 ||
        settings.pointSize > kLargestPointSize || settings.notesPointSize < 1 ||
        settings.notesPointSize > kLargestPointSize ||
        std::find(settings.suitChars.begin(), settings.suitChars.end(), 0) !=
            settings.suitChars.end()) {
        *why = QStringLiteral("its print settings are impossible");
        return std::nullopt;
    }
    settings.landscape = landscape == 1;
    settings.openBids = openBids == 1;
    settings.newNote = newNote == 1;
    settings.brownSticker = brownSticker == 1;
    return settings;
}

void applySettings(const PrintSettings& settings, PrintLayoutSettings& layout,
                   DisplayFontSettings& fonts) {
    zqw::CardPageSetup& setup = layout.pageSetup();
    const zqw::LengthUnit unit = setup.unit();
    setup.setPaperName(settings.paperName);
    setup.setUnit(zqw::LengthUnit::Millimetres);
    setup.setOrientation(zqw::PageOrientation::Portrait);
    setup.setPaperWidth(settings.widthUm / 1000.0);
    setup.setPaperHeight(settings.heightUm / 1000.0);
    setup.setOrientation(settings.landscape ? zqw::PageOrientation::Landscape
                                            : zqw::PageOrientation::Portrait);
    setup.setTopMargin(settings.marginsUm[0] / 1000.0);
    setup.setBottomMargin(settings.marginsUm[1] / 1000.0);
    setup.setLeftMargin(settings.marginsUm[2] / 1000.0);
    setup.setRightMargin(settings.marginsUm[3] / 1000.0);
    setup.setUnit(unit);
    layout.setLayoutColumns(settings.layoutColumns);
    layout.setSuitModeIndex(settings.suitMode == kNoSuitMode ? -1 : settings.suitMode);
    layout.setOpenBidsOnAllLines(settings.openBids);
    layout.setNewPageForEachNote(settings.newNote);
    layout.setNewPageForBrownSticker(settings.brownSticker);
    fonts.family = QString::fromStdString(settings.fontFamily);
    fonts.pointSize = settings.pointSize;
    fonts.notesPointSize = settings.notesPointSize;
    fonts.suitChars = {settings.suitChars[0], settings.suitChars[1], settings.suitChars[2],
                       settings.suitChars[3]};
}

}  // namespace

// What a printout was made from, and the objects that draw it again.
struct ReportArchive::Source {
    quint8 kind = kCardKind;
    PrintSettings settings;
    PrintLayoutSettings layout;
    DisplayFontSettings fonts;

    // A card printout.
    zqw::CardPages pages = zqw::CardPages::All;
    std::string templateBytes;
    std::string cardBytes;
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card{messages, notes};

    // A notes printout.
    NotesPrintout notesPrintout;

    explicit Source(PrintSettings printSettings) : settings(std::move(printSettings)) {
        applySettings(settings, layout, fonts);
    }

    // Reads the template and the card; false when either is unsound.
    bool readCard() {
        card.parseTemplate(templateBytes);
        if (!messages.messages.empty() || card.sections.empty()) return false;
        card.resetToBlankCard();
        return card.readCardBytes(cardBytes);
    }

    std::unique_ptr<PagedReport> makePainter() const {
        if (kind == kCardKind) return std::make_unique<CardPagePainter>(card, layout, fonts, pages);
        auto painter = std::make_unique<NotesPagePainter>(
            notesPrintout.lines, notesPrintout.notesFileName, notesPrintout.titleTexts, layout,
            fonts, notesPrintout.paper);
        painter->setSelection(notesPrintout.selection);
        painter->setPrintDate(notesPrintout.printDate);
        return painter;
    }
};

const QString& ReportArchive::fileFilter() {
    static const QString filter = QStringLiteral("Report archive files (*.raf);;All files (*.*)");
    return filter;
}

const QString& ReportArchive::defaultSuffix() {
    static const QString suffix = QStringLiteral("raf");
    return suffix;
}

ReportArchive::ReportArchive() = default;

ReportArchive::ReportArchive(std::shared_ptr<const Source> source)
    : source_(std::move(source)), painter_(source_->makePainter()) {}

ReportArchive::ReportArchive(const ReportArchive& other)
    : source_(other.source_), painter_(source_ ? source_->makePainter() : nullptr) {}

ReportArchive& ReportArchive::operator=(const ReportArchive& other) {
    if (this != &other) {
        source_ = other.source_;
        painter_ = source_ ? source_->makePainter() : nullptr;
    }
    return *this;
}

ReportArchive::ReportArchive(ReportArchive&&) noexcept = default;
ReportArchive& ReportArchive::operator=(ReportArchive&&) noexcept = default;
ReportArchive::~ReportArchive() = default;

std::optional<ReportArchive> ReportArchive::ofCard(const std::string& templateBytes,
                                                   const zqw::Card& card,
                                                   const PrintLayoutSettings& layout,
                                                   const DisplayFontSettings& fonts,
                                                   zqw::CardPages pages, QString* error) {
    auto source = std::make_shared<Source>(settingsOf(layout, fonts));
    source->kind = kCardKind;
    source->pages = pages;
    source->templateBytes = templateBytes;
    source->cardBytes = card.cardFileBytes();
    // The archive shows what its file will show when read again.
    if (!source->readCard()) {
        setError(error, QStringLiteral("The card cannot be kept in a report archive: the card "
                                       "template zqw.sel does not read the card back as it is."));
        return std::nullopt;
    }
    // A printout does not show where the notes are kept, and an archive
    // handed on does not tell either.
    source->card.notesFileName.clear();
    source->cardBytes = source->card.cardFileBytes();
    return ReportArchive(std::move(source));
}

std::optional<ReportArchive> ReportArchive::ofNotes(NotesPrintout notes,
                                                    const PrintLayoutSettings& layout,
                                                    const DisplayFontSettings& fonts,
                                                    QString* error) {
    PrintSettings settings = settingsOf(layout, fonts);
    // Notes print upright on paper of their own, with margins of their own.
    const QPageSize paper = notes.paper.isValid() ? notes.paper : QPageSize(QPageSize::A4);
    const QSizeF mm = paper.size(QPageSize::Millimeter);
    settings.paperName = paper.name().toStdString();
    settings.widthUm = toMicrometres(mm.width());
    settings.heightUm = toMicrometres(mm.height());
    settings.landscape = false;
    settings.marginsUm = {0, 0, 0, 0};
    if (notes.lines.size() > zqw::kMostNotesLines) {
        setError(error, QStringLiteral("The notes are too long to be kept in a report archive."));
        return std::nullopt;
    }
    auto source = std::make_shared<Source>(std::move(settings));
    source->kind = kNotesKind;
    if (!notes.printDate.isValid()) notes.printDate = QDate::currentDate();
    notes.paper = paper;
    source->notesPrintout = std::move(notes);
    return ReportArchive(std::move(source));
}

QByteArray ReportArchive::toBytes() const {
    Writer out;
    out.raw(kMagic, sizeof kMagic);
    out.u32(kVersion);
    if (!source_) return out.bytes();
    const Source& source = *source_;
    out.u8(source.kind);
    writeSettings(out, source.settings);
    if (source.kind == kCardKind) {
        out.u8(static_cast<quint8>(source.pages));
        out.text(source.templateBytes);
        out.text(source.cardBytes);
        return out.bytes();
    }
    const NotesPrintout& notes = source.notesPrintout;
    out.text(notes.notesFileName);
    out.text(notes.titleTexts.first);
    out.text(notes.titleTexts.second);
    out.u32(static_cast<quint32>(notes.printDate.toJulianDay()));
    out.u8(notes.selection ? 1 : 0);
    const zqw::NotesSelection selection = notes.selection.value_or(zqw::NotesSelection{0, 0, 0, 0});
    for (int value :
         {selection.startLine, selection.startColumn, selection.endLine, selection.endColumn})
        out.u32(static_cast<quint32>(std::max(value, 0)));
    out.u32(static_cast<quint32>(notes.lines.size()));
    for (const std::string& line : notes.lines) out.text(line);
    return out.bytes();
}

std::optional<ReportArchive> ReportArchive::fromBytes(const QByteArray& bytes, QString* error) {
    if (bytes.size() > kMaxFileBytes) {
        setError(error, QStringLiteral("This file is too large to be a report archive."));
        return std::nullopt;
    }
    Reader in(bytes);
    const char* magic = in.take(sizeof kMagic);
    if (!magic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        setError(error, QStringLiteral("This file is not a report archive."));
        return std::nullopt;
    }
    const quint32 version = in.u32();
    if (!in.ok()) {
        setError(error, damaged(QStringLiteral("it ends inside its header")));
        return std::nullopt;
    }
    if (version == 1) {
        setError(error, QStringLiteral("This report archive was written by an earlier version of "
                                       "the editor, whose archives are no longer shown: they "
                                       "could hold anything. Print the card or notes again."));
        return std::nullopt;
    }
    if (version != kVersion) {
        setError(error, QStringLiteral("This report archive was written in a format this program "
                                       "does not know (version %1).")
                            .arg(version));
        return std::nullopt;
    }
    const quint8 kind = in.u8();
    if (!in.ok()) {
        setError(error, damaged(QStringLiteral("it ends inside its header")));
        return std::nullopt;
    }
    if (kind != kCardKind && kind != kNotesKind) {
        setError(error, damaged(QStringLiteral("it holds a printout of an unknown kind")));
        return std::nullopt;
    }
    QString why;
    std::optional<PrintSettings> settings = readSettings(in, &why);
    if (!settings) {
        setError(error, damaged(why));
        return std::nullopt;
    }

    std::shared_ptr<Source> source;
    if (kind == kCardKind) {
        const quint8 pages = in.u8();
        std::string templateBytes = in.text(ReportArchive::kMaxTemplateBytes);
        std::string cardBytes = in.text(kLongestCard);
        if (!in.ok()) {
            setError(error, damaged(QStringLiteral("its card is cut short")));
            return std::nullopt;
        }
        if (pages > 2) {
            setError(error, damaged(QStringLiteral("it names pages the card does not have")));
            return std::nullopt;
        }
        if (!in.atEnd()) {
            setError(error, damaged(QStringLiteral("there is data after the printout")));
            return std::nullopt;
        }
        source = std::make_shared<Source>(std::move(*settings));
        source->kind = kCardKind;
        source->pages = static_cast<zqw::CardPages>(pages);
        source->templateBytes = std::move(templateBytes);
        source->cardBytes = std::move(cardBytes);
        if (!source->readCard()) {
            setError(error, damaged(QStringLiteral("its card or card template cannot be read")));
            return std::nullopt;
        }
        return ReportArchive(std::move(source));
    }

    NotesPrintout notes;
    notes.notesFileName = in.text(kLongestName);
    notes.titleTexts.first = in.text(kLongestName);
    notes.titleTexts.second = in.text(kLongestName);
    const qint64 julianDay = in.u32();
    const quint8 selected = in.u8();
    std::array<quint32, 4> selection{};
    for (quint32& value : selection) value = in.u32();
    const quint32 lineCount = in.u32();
    if (!in.ok()) {
        setError(error, damaged(QStringLiteral("its notes are cut short")));
        return std::nullopt;
    }
    const auto impossible = [selected](quint32 v) {
        return v > quint32(std::numeric_limits<int>::max()) || (!selected && v != 0);
    };
    if (julianDay < kFirstJulianDay || julianDay > kLastJulianDay || !isFlag(selected) ||
        std::any_of(selection.begin(), selection.end(), impossible)) {
        setError(error, damaged(QStringLiteral("its print date or selection is impossible")));
        return std::nullopt;
    }
    // Each line takes at least its 4-byte length: a count the bytes left
    // cannot hold is refused before anything is made for it.
    if (lineCount > zqw::kMostNotesLines || qint64(lineCount) * 4 > in.left()) {
        setError(error, damaged(QStringLiteral("it claims %1 notes lines").arg(lineCount)));
        return std::nullopt;
    }
    notes.lines.reserve(lineCount);
    size_t total = 0;
    for (quint32 line = 0; line < lineCount; ++line) {
        notes.lines.push_back(in.text(zqw::kMostNotesBytes));
        total += notes.lines.back().size();
        if (!in.ok() || total > zqw::kMostNotesBytes) {
            setError(error, damaged(QStringLiteral("notes line %1 is cut short").arg(line + 1)));
            return std::nullopt;
        }
    }
    if (!in.atEnd()) {
        setError(error, damaged(QStringLiteral("there is data after the printout")));
        return std::nullopt;
    }
    notes.printDate = QDate::fromJulianDay(julianDay);
    if (selected) {
        notes.selection = zqw::NotesSelection{int(selection[0]), int(selection[1]),
                                              int(selection[2]), int(selection[3])};
    }
    notes.paper = QPageSize(QSizeF(settings->widthUm / 1000.0, settings->heightUm / 1000.0),
                            QPageSize::Millimeter, QString::fromStdString(settings->paperName),
                            QPageSize::FuzzyMatch);
    source = std::make_shared<Source>(std::move(*settings));
    source->kind = kNotesKind;
    source->notesPrintout = std::move(notes);
    return ReportArchive(std::move(source));
}

std::optional<ReportArchive> ReportArchive::load(const QString& path, QString* error) {
    // Opening a pipe waits for a writer, and a device has no end: the file
    // is opened without waiting and read only when it is a regular file.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, QStringLiteral("Cannot open file %1: %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return std::nullopt;
    }
    QFile file;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        setError(error, QStringLiteral("%1 is not a regular file.").arg(path));
        return std::nullopt;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setError(error, QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes) {
        setError(error, QStringLiteral("%1 is too large to be a report archive (more than %2 MB).")
                            .arg(path)
                            .arg(kMaxFileBytes >> 20));
        return std::nullopt;
    }
    // Read no further than the limit, whatever the file grows to meanwhile.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    QString problem;
    auto archive = fromBytes(bytes, &problem);
    if (!archive)
        setError(error, QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), problem));
    return archive;
}

bool ReportArchive::save(const QString& path, QString* error) const {
    return writeOutputFile(path, toBytes(), error);
}

void ReportArchive::layOut(double dpi) {
    if (painter_) painter_->layOut(dpi);
}

int ReportArchive::pageCount() const { return painter_ ? painter_->pageCount() : 0; }

QPageLayout ReportArchive::pageLayout() const {
    return painter_ ? painter_->pageLayout() : QPageLayout();
}

void ReportArchive::paintPage(QPainter& painter, int index) const {
    if (painter_) painter_->paintPage(painter, index);
}

QString ReportArchive::jobName() const {
    return painter_ ? painter_->jobName() : QStringLiteral("ZQWCCE");
}
