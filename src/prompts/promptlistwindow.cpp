#include "prompts/promptlistwindow.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/suittextdelegate.h"

namespace {

// The design's item height; a larger font makes the items higher.
constexpr int kItemHeight = 20;

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

// --- list -------------------------------------------------------------------

PromptListBox::PromptListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("promptList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    // Items leave the list but nothing is dropped on it.
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setUniformItemSizes(true);
}

QStringList PromptListBox::mimeTypes() const {
    QStringList types = QListWidget::mimeTypes();
    types.append(QStringLiteral("text/plain"));
    return types;
}

QMimeData* PromptListBox::mimeData(const QList<QListWidgetItem*>& items) const {
    QMimeData* data = QListWidget::mimeData(items);
    if (!data) data = new QMimeData;
    QStringList texts;
    for (const QListWidgetItem* item : items) texts.append(item->text());
    data->setText(texts.join(QLatin1Char('\n')));
    return data;
}

// --- window -----------------------------------------------------------------

PromptListWindow::PromptListWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("promptListWindow"));
    setWindowTitle(QStringLiteral("Select prompt"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    list_ = new PromptListBox(this);
    list_->setAccessibleName(QStringLiteral("Prompts"));
    list_->installEventFilter(this);
    painter_ = new SuitTextDelegate(list_);
    list_->setItemDelegate(painter_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this]() { chooseSelected(); });
    move(205, 115);
    resize(233, 300);
}

void PromptListWindow::setPrompts(const QStringList& prompts) {
    QStringList sorted = prompts;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    list_->clear();
    for (const QString& text : sorted) {
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::AccessibleTextRole, painter_->suitText().spoken(text));
    }
    sizeItems();
}

void PromptListWindow::setSuitText(const SuitText& suits) {
    painter_->setSuitText(suits);
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        item->setData(Qt::AccessibleTextRole, suits.spoken(item->text()));
    }
    list_->viewport()->update();
}

void PromptListWindow::sizeItems() {
    const int height = std::max(kItemHeight, list_->fontMetrics().height() + 4);
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSizeHint(QSize(0, height));
}

void PromptListWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) sizeItems();
}

QStringList PromptListWindow::prompts() const {
    QStringList texts;
    for (int i = 0; i < list_->count(); ++i) texts.append(list_->item(i)->text());
    return texts;
}

std::optional<QString> PromptListWindow::selectedPrompt() const {
    const QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return item->text();
}

void PromptListWindow::showList() {
    show();
    raise();
    activateWindow();
    selectFirst();
    list_->setFocus(Qt::ActiveWindowFocusReason);
}

void PromptListWindow::selectFirst() {
    if (list_->count() > 0) list_->setCurrentRow(0);
}

void PromptListWindow::chooseSelected() {
    if (const auto prompt = selectedPrompt()) emit promptChosen(*prompt);
    closeList();
}

void PromptListWindow::closeList() {
    hide();
    // The keyboard goes back to the window the list served, where the
    // prompt went, as a window manager would hand it to the list's owner.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        owner && owner->isVisible()) {
        owner->activateWindow();
    }
}

bool PromptListWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) selectFirst();
    return QDialog::event(event);
}

bool PromptListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool handled = isEnter(key->key()) || key->key() == Qt::Key_Escape;
        // The keys act when released; their presses must not reach the
        // dialog, which would close it early.
        if (handled && event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) {
            if (isEnter(key->key())) {
                chooseSelected();
            } else {
                closeList();
            }
        }
        if (handled) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PromptListWindow::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc are the list's keys (see eventFilter); QDialog would
    // treat them as default button and close.
    if (isEnter(event->key()) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
