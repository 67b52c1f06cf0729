#include "render/reportarchive.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <cmath>
#include <cstring>

#include "render/outputfile.h"

namespace {

constexpr char kMagic[8] = {'Z', 'Q', 'W', 'R', 'A', 'F', '\x1a', '\n'};
constexpr double kLargestPaperMm = 10000;
// No paper is smaller; a page of a fraction of a millimetre has no size at
// all once it is measured in points.
constexpr double kSmallestPaperMm = 10;
constexpr double kLowestDpi = 36;
constexpr double kHighestDpi = 4800;

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

QString damaged(const QString& what) {
    return QStringLiteral("The report archive is damaged: %1.").arg(what);
}

}  // namespace

const QString& ReportArchive::fileFilter() {
    static const QString filter = QStringLiteral("Report archive files (*.raf);;All files (*.*)");
    return filter;
}

const QString& ReportArchive::defaultSuffix() {
    static const QString suffix = QStringLiteral("raf");
    return suffix;
}

ReportArchive ReportArchive::record(PagedReport& report, double dpi) {
    ReportArchive archive;
    archive.layout_ = report.pageLayout();
    archive.dpi_ = dpi;
    archive.targetDpi_ = dpi;
    archive.jobName_ = report.jobName();
    report.layOut(dpi);
    const QRect paper = archive.layout_.fullRectPixels(qRound(dpi));
    for (int page = 0; page < report.pageCount(); ++page) {
        QPicture picture;
        picture.setBoundingRect(QRect(QPoint(0, 0), paper.size()));
        QPainter painter(&picture);
        report.paintPage(painter, page);
        painter.end();
        archive.pages_.append(picture);
    }
    return archive;
}

QByteArray ReportArchive::toBytes() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out.writeRawData(kMagic, sizeof kMagic);
    const QSizeF paper = layout_.pageSize().size(QPageSize::Millimeter);
    out << kVersion << quint32(pages_.size()) << paper.width() << paper.height()
        << quint8(layout_.orientation() == QPageLayout::Landscape ? 1 : 0) << dpi_;
    for (const QPicture& page : pages_) {
        const QByteArray data(page.data(), page.size());
        out << quint32(data.size());
        out.writeRawData(data.constData(), static_cast<int>(data.size()));
    }
    return bytes;
}

std::optional<ReportArchive> ReportArchive::fromBytes(const QByteArray& bytes, QString* error) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    char magic[sizeof kMagic] = {};
    if (in.readRawData(magic, sizeof magic) != int(sizeof magic) ||
        std::memcmp(magic, kMagic, sizeof magic) != 0) {
        setError(error, QStringLiteral("This file is not a report archive."));
        return std::nullopt;
    }
    quint32 version = 0;
    quint32 count = 0;
    double width = 0;
    double height = 0;
    quint8 landscape = 0;
    double dpi = 0;
    in >> version;
    if (in.status() == QDataStream::Ok && version != kVersion) {
        setError(error, QStringLiteral("This report archive was written in a format this program "
                                       "does not know (version %1).")
                            .arg(version));
        return std::nullopt;
    }
    in >> count >> width >> height >> landscape >> dpi;
    if (in.status() != QDataStream::Ok) {
        setError(error, damaged(QStringLiteral("it ends inside its header")));
        return std::nullopt;
    }
    if (count < 1 || count > kMaxPages) {
        setError(error, damaged(QStringLiteral("it claims %1 pages").arg(count)));
        return std::nullopt;
    }
    if (!(width >= kSmallestPaperMm && width <= kLargestPaperMm && height >= kSmallestPaperMm &&
          height <= kLargestPaperMm) ||
        landscape > 1 || !(dpi >= kLowestDpi && dpi <= kHighestDpi)) {
        setError(error, damaged(QStringLiteral("its page size or resolution is impossible")));
        return std::nullopt;
    }

    ReportArchive archive;
    archive.layout_ = QPageLayout(
        QPageSize(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
        QPageLayout::Millimeter);
    archive.dpi_ = dpi;
    archive.targetDpi_ = dpi;
    for (quint32 page = 1; page <= count; ++page) {
        quint32 size = 0;
        in >> size;
        const qint64 left = bytes.size() - in.device()->pos();
        if (in.status() != QDataStream::Ok || size == 0 || qint64(size) > left) {
            setError(error, damaged(QStringLiteral("page %1 is cut short").arg(page)));
            return std::nullopt;
        }
        QByteArray data(static_cast<qsizetype>(size), Qt::Uninitialized);
        in.readRawData(data.data(), static_cast<int>(size));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QPicture picture;
        // QPicture checks its own header and checksum.
        if (!picture.load(&buffer)) {
            setError(error, damaged(QStringLiteral("page %1 cannot be read").arg(page)));
            return std::nullopt;
        }
        archive.pages_.append(picture);
    }
    if (!in.atEnd()) {
        setError(error, damaged(QStringLiteral("there is data after the last page")));
        return std::nullopt;
    }
    return archive;
}

std::optional<ReportArchive> ReportArchive::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes) {
        setError(error, QStringLiteral("%1 is too large to be a report archive.").arg(path));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
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

void ReportArchive::paintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= pageCount()) return;
    painter.save();
    const qreal scale = targetDpi_ / dpi_;
    painter.scale(scale, scale);
    // A picture plays itself back enlarged by the device's resolution over
    // its own (the screen's), as if it had been drawn in screen pixels. Our
    // pages are drawn in dots of the given resolution: undo that enlargement.
    const QPicture& page = pages_[index];
    if (const QPaintDevice* device = painter.device()) {
        painter.scale(qreal(page.logicalDpiX()) / device->logicalDpiX(),
                      qreal(page.logicalDpiY()) / device->logicalDpiY());
    }
    painter.drawPicture(0, 0, page);
    painter.restore();
}
