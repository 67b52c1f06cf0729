#include "prompts/columneditdialog.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/widgettext.h"

namespace {

constexpr int kClientWidth = 292;
constexpr int kMemoHeight = 264;
// The design's button row; a larger card font makes it higher.
constexpr int kButtonRowHeight = 41;

}  // namespace

ColumnEditDialog::ColumnEditDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("columnEditDialog"));
    setWindowTitle(QStringLiteral("Edit column"));
    // A dialog frame without border icons. Not a tool window: Qt gives a
    // tool window's shortcuts (F2, F12) to its parent window instead.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    menuBar_ = new QMenuBar(this);
    QMenu* options = menuBar_->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("columnEditOptions"));
    QAction* prompts = options->addAction(QStringLiteral("&Prompts"));
    prompts->setObjectName(QStringLiteral("showPrompts"));
    prompts->setShortcut(QKeySequence(Qt::Key_F2));
    connect(prompts, &QAction::triggered, this, &ColumnEditDialog::promptsRequested);
    QAction* ok = options->addAction(QStringLiteral("&OK"));
    ok->setObjectName(QStringLiteral("acceptColumn"));
    ok->setShortcut(QKeySequence(Qt::Key_F12));
    connect(ok, &QAction::triggered, this, &QDialog::accept);
    QAction* cancel = options->addAction(QStringLiteral("&Cancel ...ESC"));
    cancel->setObjectName(QStringLiteral("cancelColumn"));
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    // The shortcuts work while the menu is closed and the memo has the keys.
    addActions({prompts, ok});

    memoPanel_ = new QWidget(this);
    memo_ = new QTextEdit(memoPanel_);
    memo_->setObjectName(QStringLiteral("columnText"));
    memo_->setAccessibleName(QStringLiteral("Column text"));
    memo_->setAcceptRichText(false);
    memo_->setTabChangesFocus(true);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    memo_->setLineWrapMode(QTextEdit::FixedPixelWidth);
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);
    auto* memoLayout = new QVBoxLayout(memoPanel_);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(memo_);

    buttonPanel_ = new QWidget(this);
    buttonPanel_->setFixedHeight(kButtonRowHeight);
    okButton_ = new QPushButton(QStringLiteral("&OK"), buttonPanel_);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setAutoDefault(false);
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), buttonPanel_);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout(buttonPanel_);
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(memoPanel_, 1);
    layout->addWidget(buttonPanel_);
    resize(kClientWidth, kMemoHeight + kButtonRowHeight + menuBar_->sizeHint().height());
    setColumnWidth(kClientWidth);
}

void ColumnEditDialog::setCardFont(const QFont& font) {
    setFont(font);
    memo_->setFont(font);
    // The buttons take the card font too; a large one needs a higher row.
    buttonPanel_->setFixedHeight(
        std::max(kButtonRowHeight, buttonPanel_->layout()->minimumSize().height()));
}

void ColumnEditDialog::setLines(const QStringList& lines) {
    trailingEmptyRows_ = 0;
    for (auto line = lines.crbegin(); line != lines.crend() && line->isEmpty(); ++line)
        ++trailingEmptyRows_;
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
    memo_->moveCursor(QTextCursor::Start);
}

void ColumnEditDialog::setColumnWidth(int pixels) {
    columnWidth_ = std::max(1, pixels);
    // The wrap width is fixed, whatever room the window gives the memo, so
    // lines break where they break in the column.
    memo_->setLineWrapColumnOrWidth(columnWidth_);
    const int memoWidth =
        columnWidth_ + 2 * memo_->frameWidth() + memo_->verticalScrollBar()->sizeHint().width();
    resize(std::max(memoWidth, buttonPanel_->minimumSizeHint().width()), height());
}

QStringList ColumnEditDialog::displayedLines() const {
    QTextDocument* document = memo_->document();
    // Lays out the whole text, so every block knows its lines.
    document->documentLayout()->documentSize();
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        const int count = layout ? layout->lineCount() : 0;
        if (count <= 1) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const QTextLine line = layout->lineAt(i);
            QString part = text.mid(line.textStart(), line.textLength());
            // The space a line wraps at ends the shown line; it is not
            // part of the row's text.
            if (i < count - 1) {
                while (!part.isEmpty() && part.back().isSpace()) part.chop(1);
            }
            lines.append(part);
        }
    }
    // An Enter typed at the very end leaves an empty line that is no row.
    // Empty rows the column already had end the memo the same way, and
    // must not be lost by an OK that changed nothing.
    int trailingEmpty = 0;
    for (auto line = lines.crbegin(); line != lines.crend() && line->isEmpty(); ++line)
        ++trailingEmpty;
    if (trailingEmpty > trailingEmptyRows_) lines.removeLast();
    return lines;
}

void ColumnEditDialog::typeSymbol(const QString& symbol) {
    QTextCursor cursor = memo_->textCursor();
    cursor.insertText(symbol);
    memo_->setTextCursor(cursor);
}

void ColumnEditDialog::memoKeyReleased(int key) {
    if (key == Qt::Key_Escape) {
        // The dialog may already have closed on the key's press.
        if (isVisible()) reject();
        return;
    }
    const QString suit = suitKeyText(key, suitChars_);
    if (!suit.isEmpty()) typeSymbol(suit);
    emit memoTouched();
}

bool ColumnEditDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memo_) {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) memoKeyReleased(key->key());
        } else if (event->type() == QEvent::FocusIn) {
            emit memoTouched();
        }
    } else if (watched == memo_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            emit memoTouched();
        } else if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                emit rightButtonPressed(
                    memo_->viewport()->mapTo(memo_, mouse->position().toPoint()));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
