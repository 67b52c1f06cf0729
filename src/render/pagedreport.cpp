#include "render/pagedreport.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "render/outputfile.h"

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace

bool printReport(PagedReport& report, QPagedPaintDevice& device, QString* error) {
    device.setPageLayout(report.pageLayout());
    const double dpi = device.logicalDpiY();
    report.layOut(dpi);
    if (report.pageCount() <= 0) {
        setError(error, QStringLiteral("There is nothing to print."));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        setError(error, QStringLiteral("The printer could not be started."));
        return false;
    }
    // A printer may keep margins of its own; the report draws from the
    // paper's corner.
    const QPoint paperOrigin = device.pageLayout().paintRectPixels(qRound(dpi)).topLeft();
    for (int page = 0; page < report.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            setError(error, QStringLiteral("The printer could not start a new page."));
            return false;
        }
        painter.save();
        painter.translate(-paperOrigin);
        report.paintPage(painter, page);
        painter.restore();
    }
    return painter.end();
}

bool writeReportPdf(PagedReport& report, const QString& path, double dpi, QString* error) {
    // Drawn in memory first: a PDF is small, and the file is then written
    // as a card is saved, so a pipe or device at the path is refused
    // instead of replaced or waited on.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(qRound(dpi));
        writer.setTitle(report.jobName());
        writer.setCreator(QStringLiteral("zqwcce"));
        if (!printReport(report, writer, error)) return false;
    }
    buffer.close();
    return writeOutputFile(path, bytes, error);
}
