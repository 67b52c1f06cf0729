#pragma once

#include <QByteArray>
#include <QList>
#include <QPicture>
#include <QString>
#include <optional>

#include "render/pagedreport.h"

// A report archive: the pages of a printout kept in a file of our own
// format, to be shown in the print preview again ("View archive") or
// printed later, exactly as they were drawn.
//
// File layout (big-endian, QDataStream):
//   8 bytes   magic "ZQWRAF\x1a\n"
//   quint32   format version (1)
//   quint32   page count, 1..kMaxPages
//   double    paper width and height in millimetres, upright
//   quint8    orientation: 0 portrait, 1 landscape
//   double    dots per inch the pages were drawn at
//   per page: quint32 byte count, then the page as a serialized QPicture
// and nothing after the last page. Reading checks every field and bounds
// every size, so a damaged file, or one that is not an archive, gives a
// message and no pages.
class ReportArchive : public PagedReport {
public:
    static constexpr quint32 kVersion = 1;
    static constexpr quint32 kMaxPages = 10000;
    static constexpr qint64 kMaxFileBytes = qint64(512) * 1024 * 1024;
    // For the open and save dialogs.
    static const QString& fileFilter();     // "Report archive files (*.raf);;All files (*.*)"
    static const QString& defaultSuffix();  // "raf"

    ReportArchive() = default;

    // Draws every page of the report into an archive, at dpi dots per inch.
    static ReportArchive record(PagedReport& report, double dpi = 600);

    // Reads an archive; nullopt with a message for the user in *error when
    // the file cannot be read or is not a sound archive.
    static std::optional<ReportArchive> load(const QString& path, QString* error = nullptr);
    static std::optional<ReportArchive> fromBytes(const QByteArray& bytes,
                                                  QString* error = nullptr);
    QByteArray toBytes() const;
    // Writes the archive (atomically); false with a message otherwise.
    bool save(const QString& path, QString* error = nullptr) const;

    double recordedDpi() const { return dpi_; }

    // PagedReport: the archived pages, scaled to any device.
    void layOut(double dpi) override { targetDpi_ = dpi; }
    int pageCount() const override { return static_cast<int>(pages_.size()); }
    QPageLayout pageLayout() const override { return layout_; }
    void paintPage(QPainter& painter, int index) const override;
    QString jobName() const override { return jobName_; }

private:
    QList<QPicture> pages_;
    QPageLayout layout_;
    double dpi_ = 600;
    double targetDpi_ = 600;
    QString jobName_ = QStringLiteral("ZQWCCE");
};
