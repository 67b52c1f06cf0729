#include "render/pagedreport.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "render/outputfile.h"

namespace {

// A PDF text string: UTF-16 with its byte order mark, in hex.
QByteArray pdfText(const QString& text) {
    QByteArray bytes("<FEFF");
    for (const QChar c : text) bytes += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    return bytes + '>';
}

// Qt's PDF writer has no author; the document information goes in as an
// update appended to the file, which PDF readers take over the original.
// The PDF is returned unchanged when its trailer is not where Qt puts it.
QByteArray withDocumentInfo(QByteArray pdf, const QString& title, const QString& author) {
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const qsizetype startXref = pdf.lastIndexOf("startxref");
    if (trailer < 0 || startXref < trailer) return pdf;
    const QByteArray tail = pdf.mid(trailer);
    const auto numberAfter = [&](const QByteArray& key) -> qint64 {
        const qsizetype at = tail.indexOf(key);
        if (at < 0) return -1;
        bool ok = false;
        const qint64 value = tail.mid(at + key.size())
                                 .trimmed()
                                 .split(' ')
                                 .value(0)
                                 .split('\n')
                                 .value(0)
                                 .toLongLong(&ok);
        return ok ? value : -1;
    };
    const qint64 size = numberAfter("/Size");
    const qint64 root = numberAfter("/Root");
    const qint64 previous = numberAfter("startxref");
    if (size <= 0 || root <= 0 || previous <= 0) return pdf;

    if (!pdf.endsWith('\n')) pdf += '\n';
    const qsizetype infoAt = pdf.size();
    pdf += QByteArray::number(size) + " 0 obj\n<<\n/Title " + pdfText(title) + "\n/Author " +
           pdfText(author) + "\n/Creator (zqwcce)\n/Producer (Qt " QT_VERSION_STR ")\n>>\nendobj\n";
    const qsizetype xrefAt = pdf.size();
    pdf += "xref\n" + QByteArray::number(size) + " 1\n" +
           QByteArray::number(infoAt).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<<\n/Size " + QByteArray::number(size + 1) + "\n/Root " +
           QByteArray::number(root) + " 0 R\n/Info " + QByteArray::number(size) + " 0 R\n/Prev " +
           QByteArray::number(previous) + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) +
           "\n%%EOF\n";
    return pdf;
}

}  // namespace

bool printReport(PagedReport& report, QPagedPaintDevice& device, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    device.setPageLayout(report.pageLayout());
    const double dpi = device.logicalDpiY();
    report.layOut(dpi);
    if (report.pageCount() <= 0) {
        return fail(QStringLiteral("There is nothing to print."));
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        return fail(QStringLiteral("The printer could not be started."));
    }
    // A printer may keep margins of its own; the report draws from the
    // paper's corner.
    const QPoint paperOrigin = device.pageLayout().paintRectPixels(qRound(dpi)).topLeft();
    for (int page = 0; page < report.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            return fail(QStringLiteral("The printer could not start a new page."));
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
        writer.setTitle(report.documentTitle());
        writer.setCreator(QStringLiteral("zqwcce"));
        if (!printReport(report, writer, error)) return false;
    }
    buffer.close();
    return writeOutputFile(
        path, withDocumentInfo(bytes, report.documentTitle(), report.documentAuthor()), error);
}
