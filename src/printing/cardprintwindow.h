#pragma once

#include <QDialog>
#include <QRect>
#include <memory>
#include <optional>

#include "card/cardprintplan.h"

class EditorSettings;
class QRadioButton;
class ReportPreviewWindow;
class UserDialogs;

// "Print Convention Card": a small window that stays above the editor and
// prints the card as it is when a button is pressed: all pages, the first
// or the second, to the preview, a printer or a PDF file. It also shows a
// report archive kept from an earlier preview.
class CardPrintWindow : public QDialog {
    Q_OBJECT

public:
    CardPrintWindow(const zqw::Card& card, const EditorSettings& settings, UserDialogs& dialogs,
                    QWidget* parent = nullptr);
    ~CardPrintWindow() override;

    // Shows the window, above the editor, without making it modal.
    void showWindow();

    // The pages "Select page" chooses.
    zqw::CardPages selectedPages() const;

    // "Preview Print": the preview, not modal.
    void previewCard();
    // "Print": the print dialog, then the printer.
    void printCard();
    // "Print to file": a PDF file.
    void printCardToFile();
    // "View archive": a report archive in a preview of its own.
    void viewArchive();

    bool isPreviewOpen() const;
    // After the card's rows changed: an open preview is closed, and opened
    // again where it was once the change is over, showing the new rows.
    void refreshPreview();

private:
    // Draws the pages the window asks for and shows them in the preview;
    // with bounds, the preview takes them and does not take the keyboard
    // from the editor.
    void showPreview(std::optional<QRect> bounds);
    ReportPreviewWindow& preview();

    const zqw::Card& card_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    QRadioButton* allPages_ = nullptr;
    QRadioButton* firstPage_ = nullptr;
    QRadioButton* secondPage_ = nullptr;
    // Made on first use: a preview reaches the printing system.
    std::unique_ptr<ReportPreviewWindow> preview_;
    std::unique_ptr<ReportPreviewWindow> archiveView_;
};
