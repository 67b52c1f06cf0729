#pragma once

#include <QElapsedTimer>
#include <chrono>
#include <memory>

#include "progress/workprogress.h"

class QProgressDialog;
class QWidget;

// Progress in a QProgressDialog with a Cancel button, modal while it shows.
// Work that ends within the delay never shows it.
class ProgressDialogView : public WorkProgress {
public:
    explicit ProgressDialogView(QWidget* parent,
                                std::chrono::milliseconds delay = std::chrono::milliseconds(500));
    ~ProgressDialogView() override;

    void started(const QString& label) override;
    void advanced(quint64 done, quint64 total) override;
    bool cancelRequested() const override;
    bool takesInput() const override;
    void finished() override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
    std::chrono::milliseconds delay_;
    QElapsedTimer clock_;
};
