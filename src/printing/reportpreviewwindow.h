#pragma once

#include <QWidget>

#include "render/reportarchive.h"

class QLabel;
class QPrintPreviewWidget;
class UserDialogs;

// The print preview: a window of its own, not modal, that shows the pages
// of a printout (or of a report archive) and can zoom, turn pages, print
// them and keep them in a report archive.
//
// It holds the pages as drawn when they were handed to it, so what it
// prints or saves is exactly what it shows, even after the card changed.
class ReportPreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit ReportPreviewWindow(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    // Shows these pages in place of those shown before.
    void setPages(ReportArchive pages);
    const ReportArchive& pages() const { return pages_; }

    // "Print...": the print dialog, then the printer.
    void printPages();
    // "Save archive...": the pages into a report archive file.
    void saveArchive();

private:
    void showPageNumber();

    UserDialogs& dialogs_;
    ReportArchive pages_;
    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* pageNumber_ = nullptr;
};
