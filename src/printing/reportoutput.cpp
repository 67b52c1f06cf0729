#include "printing/reportoutput.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "card/printlayout.h"
#include "card/textfile.h"
#include "dialogs/userdialogs.h"
#include "document/editorsettings.h"
#include "printing/reportpreviewwindow.h"
#include "render/pagedreport.h"

namespace {

// Files are drawn at the resolution the layout arithmetic assumes when no
// printer says otherwise, so a PDF matches what the command-line tool writes.
constexpr double kFileDpi = zqw::CardPageSetup::kDefaultPrinterDpi;

}  // namespace

bool layOutForOutput(PagedReport& report, UserDialogs& dialogs) {
    report.layOut(kFileDpi);
    if (report.pageCount() > 0) return true;
    dialogs.message(QStringLiteral("There is nothing to print."));
    return false;
}

void printWithDialog(PagedReport& report, UserDialogs& dialogs, QWidget* parent) {
    // Making a printer reaches the printing system; that waits until the
    // user asks to print.
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.jobName());
    printer.setPageLayout(report.pageLayout());
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialogs.execDialog(dialog) != QDialog::Accepted) return;
    QString error;
    // A printer that writes a file writes it as any output file is written,
    // so a pipe or device of that name is refused, not replaced.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        if (!writeReportPdf(report, printer.outputFileName(), printer.resolution(), &error))
            dialogs.message(error);
        return;
    }
    if (!printReport(report, printer, &error)) dialogs.message(error);
}

void printToPdfFile(PagedReport& report, UserDialogs& dialogs) {
    const std::optional<QString> path =
        dialogs.saveFile(UserDialogs::FileRequest::of(pdfFileFilter(), QStringLiteral("pdf")));
    if (!path) return;
    QString error;
    if (!writeReportPdf(report, *path, kFileDpi, &error)) dialogs.message(error);
}

std::optional<ReportArchive> cardArchive(const zqw::Card& card, const EditorSettings& settings,
                                         zqw::CardPages pages, UserDialogs& dialogs) {
    const std::string templatePath =
        QDir(settings.programDir()).filePath(QStringLiteral("zqw.sel")).toStdString();
    std::string why;
    const std::optional<std::string> templateBytes =
        zqw::readRegularFile(templatePath, ReportArchive::kMaxTemplateBytes, &why);
    if (!templateBytes) {
        dialogs.message(
            QStringLiteral("Cannot read the card template %1%2")
                .arg(QString::fromStdString(templatePath),
                     why.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(why)));
        return std::nullopt;
    }
    const DisplayFontSettings fonts = printFonts(settings);
    QString error;
    std::optional<ReportArchive> archive =
        ReportArchive::ofCard(*templateBytes, card, settings.printLayout(), fonts, pages, &error);
    if (!archive) dialogs.message(error);
    return archive;
}

std::optional<ChosenArchive> chooseArchive(UserDialogs& dialogs, const QString& filter) {
    const std::optional<QString> path =
        dialogs.openFile(UserDialogs::FileRequest::of(filter, ReportArchive::defaultSuffix()));
    if (!path) return std::nullopt;
    QString error;
    std::optional<ReportArchive> archive = ReportArchive::load(*path, &error);
    if (!archive) {
        dialogs.message(error);
        return std::nullopt;
    }
    return ChosenArchive{QFileInfo(*path).fileName(), std::move(*archive)};
}

void showChosenArchive(std::unique_ptr<ReportPreviewWindow>& view, UserDialogs& dialogs,
                       QWidget* parent, const QString& filter) {
    std::optional<ChosenArchive> archive = chooseArchive(dialogs, filter);
    if (!archive) return;
    if (!view) view = std::make_unique<ReportPreviewWindow>(dialogs, parent);
    view->setWindowTitle(QStringLiteral("Report archive: ") + archive->fileName);
    view->setPages(std::move(archive->pages));
    view->show();
    view->raise();
    view->activateWindow();
}

void layOutPrintWindow(QDialog& window, QWidget& choices, const PrintButtons& buttons) {
    auto* column = new QVBoxLayout;
    const auto addButton = [&](const char* name, const QString& caption,
                               const std::function<void()>& run) {
        auto* button = new QPushButton(caption, &window);
        button->setObjectName(QLatin1String(name));
        column->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, &window, run);
        return button;
    };
    addButton("previewButton", buttons.previewCaption, buttons.preview)->setDefault(true);
    addButton("printButton", QStringLiteral("Print"), buttons.print);
    addButton("printToFileButton", QStringLiteral("Print to file"), buttons.printToFile);
    addButton("cancelButton", QStringLiteral("Cancel"), [&window] { window.reject(); });
    addButton("viewArchiveButton", QStringLiteral("View archive"), buttons.viewArchive);
    column->addStretch();

    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(&choices);
    layout->addLayout(column);
    // Wide enough for the whole caption beside the title bar's buttons.
    QFont captionFont = window.font();
    captionFont.setBold(true);
    window.setMinimumWidth(QFontMetrics(captionFont).horizontalAdvance(window.windowTitle()) + 120);
}

const QString& pdfFileFilter() {
    static const QString filter = QStringLiteral("PDF files (*.pdf)|*.pdf");
    return filter;
}
