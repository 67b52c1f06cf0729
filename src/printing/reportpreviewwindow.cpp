#include "printing/reportpreviewwindow.h"

#include <QAction>
#include <QGraphicsView>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

#include "dialogs/userdialogs.h"
#include "printing/reportoutput.h"

ReportPreviewWindow::ReportPreviewWindow(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("reportPreview"));
    setWindowTitle(QStringLiteral("Print preview"));
    // The preview draws on a printer of its own; making it reaches the
    // printing system, which is why the window is made only when asked for.
    preview_ = new QPrintPreviewWidget(this);
    preview_->setObjectName(QStringLiteral("previewPages"));
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    // The pages are drawn in a view inside the preview, which is what takes
    // the keyboard and what a screen reader meets.
    for (QGraphicsView* pages : preview_->findChildren<QGraphicsView*>())
        pages->setAccessibleName(QStringLiteral("Page preview"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { printReport(pages_, *printer); });

    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("previewTools"));
    const auto addTool = [&](const char* name, const QString& caption, auto&& run) {
        QAction* action = tools->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    addTool("fitPage", QStringLiteral("Whole page"), [this] { preview_->fitInView(); });
    addTool("fitWidth", QStringLiteral("Page width"), [this] { preview_->fitToWidth(); });
    addTool("zoomIn", QStringLiteral("Zoom in"), [this] { preview_->zoomIn(); });
    addTool("zoomOut", QStringLiteral("Zoom out"), [this] { preview_->zoomOut(); });
    tools->addSeparator();
    addTool("firstPage", QStringLiteral("First"), [this] { preview_->setCurrentPage(1); });
    addTool("previousPage", QStringLiteral("Previous"),
            [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    pageNumber_ = new QLabel(tools);
    pageNumber_->setObjectName(QStringLiteral("pageNumber"));
    pageNumber_->setContentsMargins(6, 0, 6, 0);
    tools->addWidget(pageNumber_);
    addTool("nextPage", QStringLiteral("Next"),
            [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    addTool("lastPage", QStringLiteral("Last"),
            [this] { preview_->setCurrentPage(preview_->pageCount()); });
    tools->addSeparator();
    addTool("printPages", QStringLiteral("Print..."), [this] { printPages(); });
    addTool("saveArchive", QStringLiteral("Save archive..."), [this] { saveArchive(); });
    addTool("closePreview", QStringLiteral("Close"), [this] { close(); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this,
            &ReportPreviewWindow::showPageNumber);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(preview_, 1);
    resize(900, 650);
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

void ReportPreviewWindow::setPages(ReportArchive pages) {
    pages_ = std::move(pages);
    // Drawn at once rather than on the next show, so the window never shows
    // the pages it held before.
    preview_->updatePreview();
    preview_->setCurrentPage(1);
    showPageNumber();
}

void ReportPreviewWindow::printPages() { printWithDialog(pages_, dialogs_, this); }

void ReportPreviewWindow::saveArchive() {
    const std::optional<QString> path = dialogs_.saveFile(
        UserDialogs::FileRequest::of(ReportArchive::fileFilter(), ReportArchive::defaultSuffix()));
    if (!path) return;
    QString error;
    if (!pages_.save(*path, &error)) dialogs_.message(error);
}

void ReportPreviewWindow::showPageNumber() {
    pageNumber_->setText(
        QStringLiteral("Page %1 of %2").arg(preview_->currentPage()).arg(preview_->pageCount()));
}
