#include "tprompts.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kItemHeight = 20;

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

// --- list -------------------------------------------------------------------

PromptListBox::PromptListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox1"));
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

Tprompts::Tprompts(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tprompts"));
    setWindowTitle(QStringLiteral("Select prompt"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    ListBox1 = new PromptListBox(this);
    ListBox1->setAccessibleName(QStringLiteral("Prompts"));
    ListBox1->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListBox1);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this]() { chooseSelected(); });
    move(205, 115);
    resize(233, 300);
}

void Tprompts::setPrompts(const QStringList& prompts) {
    QStringList sorted = prompts;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    ListBox1->clear();
    for (const QString& text : sorted) {
        auto* item = new QListWidgetItem(text, ListBox1);
        item->setSizeHint(QSize(0, kItemHeight));
    }
}

QStringList Tprompts::prompts() const {
    QStringList texts;
    for (int i = 0; i < ListBox1->count(); ++i) texts.append(ListBox1->item(i)->text());
    return texts;
}

std::optional<QString> Tprompts::selectedPrompt() const {
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return item->text();
}

void Tprompts::showList() {
    show();
    raise();
    activateWindow();
    selectFirst();
    ListBox1->setFocus(Qt::ActiveWindowFocusReason);
}

void Tprompts::selectFirst() {
    if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
}

void Tprompts::chooseSelected() {
    if (const auto prompt = selectedPrompt()) emit promptChosen(*prompt);
    closeList();
}

void Tprompts::closeList() {
    hide();
    // The keyboard goes back to the window the list served, where the
    // prompt went, as a window manager would hand it to the list's owner.
    if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        owner && owner->isVisible()) {
        owner->activateWindow();
    }
}

bool Tprompts::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) selectFirst();
    return QDialog::event(event);
}

bool Tprompts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1 &&
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

void Tprompts::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc are the list's keys (see eventFilter); QDialog would
    // treat them as default button and close.
    if (isEnter(event->key()) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
