#include "progress/progressdialogview.h"

#include <QProgressDialog>
#include <algorithm>
#include <limits>

namespace {

// The bar counts in these steps, so sizes past an int's range still fit.
constexpr int kScale = 1000;

}  // namespace

ProgressDialogView::ProgressDialogView(QWidget* parent, std::chrono::milliseconds delay)
    : dialog_(std::make_unique<QProgressDialog>(parent)), delay_(delay) {
    dialog_->setObjectName(QStringLiteral("workProgress"));
    dialog_->setWindowTitle(QStringLiteral("ZQW VEZ"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    // Shown and hidden here, by the delay, not by the dialog's own guess.
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(std::numeric_limits<int>::max());
    // A new QProgressDialog shows itself after four seconds unless reset.
    dialog_->reset();
    dialog_->hide();
}

ProgressDialogView::~ProgressDialogView() = default;

void ProgressDialogView::started(const QString& label) {
    dialog_->reset();
    dialog_->setLabelText(label);
    dialog_->setRange(0, kScale);
    dialog_->setValue(0);
    clock_.start();
    if (delay_.count() <= 0) dialog_->show();
}

void ProgressDialogView::advanced(quint64 done, quint64 total) {
    if (total == 0) {
        dialog_->setRange(0, 0);
    } else {
        dialog_->setRange(0, kScale);
        dialog_->setValue(static_cast<int>(std::min(done, total) * kScale / total));
    }
    if (!dialog_->isVisible() && !dialog_->wasCanceled() && clock_.elapsed() >= delay_.count())
        dialog_->show();
}

bool ProgressDialogView::cancelRequested() const { return dialog_->wasCanceled(); }

bool ProgressDialogView::takesInput() const { return dialog_->isVisible(); }

void ProgressDialogView::finished() { dialog_->hide(); }
