#include "render/pagedreport.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("Cannot create file %1: %2").arg(path, file.errorString()));
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(qRound(dpi));
        writer.setTitle(report.jobName());
        writer.setCreator(QStringLiteral("zqwcce"));
        if (!printReport(report, writer, error)) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        setError(
            error,
            QStringLiteral("Unable to write to the file %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}
