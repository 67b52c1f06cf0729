#include "printing/cardprintwindow.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/userdialogs.h"
#include "document/editorsettings.h"
#include "printing/reportoutput.h"
#include "printing/reportpreviewwindow.h"
#include "render/cardpagepainter.h"

CardPrintWindow::CardPrintWindow(const zqw::Card& card, const EditorSettings& settings,
                                 UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      card_(card),
      settings_(settings),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("cardPrintWindow"));
    setWindowTitle(QStringLiteral("Print Convention Card"));
    setModal(false);

    auto* pages = new QGroupBox(QStringLiteral("Select page"), this);
    pages->setObjectName(QStringLiteral("selectPage"));
    auto* pageChoices = new QVBoxLayout(pages);
    const auto addChoice = [&](const char* name, const QString& caption) {
        auto* choice = new QRadioButton(caption, pages);
        choice->setObjectName(QLatin1String(name));
        pageChoices->addWidget(choice);
        return choice;
    };
    allPages_ = addChoice("allPages", QStringLiteral("All pages"));
    firstPage_ = addChoice("firstPage", QStringLiteral("Page 1"));
    secondPage_ = addChoice("secondPage", QStringLiteral("Page 2"));
    allPages_->setChecked(true);

    layOutPrintWindow(
        *this, *pages,
        {QStringLiteral("Preview Print"), [this] { previewCard(); }, [this] { printCard(); },
         [this] { printCardToFile(); }, [this] { viewArchive(); }});
}

CardPrintWindow::~CardPrintWindow() = default;

void CardPrintWindow::showWindow() {
    show();
    raise();
    activateWindow();
}

zqw::CardPages CardPrintWindow::selectedPages() const {
    if (firstPage_->isChecked()) return zqw::CardPages::FirstOnly;
    if (secondPage_->isChecked()) return zqw::CardPages::SecondOnly;
    return zqw::CardPages::All;
}

void CardPrintWindow::previewCard() { showPreview(std::nullopt); }

void CardPrintWindow::printCard() {
    const DisplayFontSettings fonts = printFonts(settings_);
    CardPagePainter report(card_, settings_.printLayout(), fonts, selectedPages());
    if (layOutForOutput(report, dialogs_)) printWithDialog(report, dialogs_, this);
}

void CardPrintWindow::printCardToFile() {
    const DisplayFontSettings fonts = printFonts(settings_);
    CardPagePainter report(card_, settings_.printLayout(), fonts, selectedPages());
    if (layOutForOutput(report, dialogs_)) printToPdfFile(report, dialogs_);
}

void CardPrintWindow::viewArchive() {
    showChosenArchive(archiveView_, dialogs_, parentWidget(), ReportArchive::fileFilter());
}

bool CardPrintWindow::isPreviewOpen() const { return preview_ && preview_->isVisible(); }

void CardPrintWindow::refreshPreview() {
    if (!isPreviewOpen()) return;
    const QRect bounds = preview_->geometry();
    preview_->close();
    // The command that changed the rows is still running: the preview opens
    // again once it is over.
    QMetaObject::invokeMethod(
        this, [this, bounds] { showPreview(bounds); }, Qt::QueuedConnection);
}

void CardPrintWindow::showPreview(std::optional<QRect> bounds) {
    // The preview holds what the printout is made from, so what it prints
    // or keeps as an archive is what it shows, even after the card changed.
    std::optional<ReportArchive> report = cardArchive(card_, settings_, selectedPages(), dialogs_);
    if (!report || !layOutForOutput(*report, dialogs_)) return;
    ReportPreviewWindow& window = preview();
    window.setPages(std::move(*report));
    if (!bounds) {
        window.show();
        window.raise();
        window.activateWindow();
        return;
    }
    // Reopened after an edit: the user goes on editing the card.
    window.setGeometry(*bounds);
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, false);
}

ReportPreviewWindow& CardPrintWindow::preview() {
    if (!preview_) preview_ = std::make_unique<ReportPreviewWindow>(dialogs_, parentWidget());
    return *preview_;
}
