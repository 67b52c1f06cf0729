#pragma once

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// A printout of whole pages that can be drawn on any paged device: a
// printer, the print preview's printer, a PDF file, or the pages of a
// report archive. The card printout, the notes printout and a loaded report
// archive are reports.
//
// A window prints a report with printReport() (for a preview, call it from
// the preview's paintRequested signal with the printer it is given), writes
// it to a PDF file with writeReportPdf(); ReportArchive keeps what a card or
// notes printout was made from, to draw it again later.
class PagedReport {
public:
    virtual ~PagedReport() = default;

    // Works the pages out for a device with this many dots per inch. Every
    // length of the printout is in those dots.
    virtual void layOut(double dpi) = 0;
    // Pages of the last layout; 0 when there is nothing to print.
    virtual int pageCount() const = 0;
    // Paper and orientation, with no margins: the report keeps its own.
    virtual QPageLayout pageLayout() const = 0;
    // Draws page `index` (from 0). The painter's origin is the paper's top
    // left corner and its unit one dot of the last layout.
    virtual void paintPage(QPainter& painter, int index) const = 0;
    // The print job's name.
    virtual QString jobName() const = 0;
    // What a PDF of the report says it is and who wrote it.
    virtual QString documentTitle() const { return jobName(); }
    virtual QString documentAuthor() const { return {}; }
};

// Lays the report out at the device's resolution and draws every page on
// it, a new page between pages. The device takes the report's page layout
// first. False, with a message in *error, when there is nothing to print
// or the device cannot be painted on.
bool printReport(PagedReport& report, QPagedPaintDevice& device, QString* error = nullptr);

// Writes the report as a PDF file at the given resolution: fonts embedded,
// page content compressed. The file is replaced only when it was written
// completely, and never when it is a folder, pipe or device (see
// outputfile.h). False, with a message in *error, when it could not be.
bool writeReportPdf(PagedReport& report, const QString& path, double dpi, QString* error = nullptr);
