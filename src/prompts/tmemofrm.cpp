#include "tmemofrm.h"

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

namespace {

constexpr int kClientWidth = 292;
constexpr int kPanel1Height = 264;
constexpr int kPanel2Height = 41;

}  // namespace

TMemoFrm::TMemoFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TMemoFrm"));
    setWindowTitle(QStringLiteral("Edit column"));
    // A dialog frame without border icons. Not a tool window: Qt gives a
    // tool window's shortcuts (F2, F12) to its parent window instead.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    MainMenu1 = new QMenuBar(this);
    QMenu* options = MainMenu1->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    QAction* prompts = options->addAction(QStringLiteral("&Prompts"));
    prompts->setObjectName(QStringLiteral("Prompts2"));
    prompts->setShortcut(QKeySequence(Qt::Key_F2));
    connect(prompts, &QAction::triggered, this, &TMemoFrm::promptsRequested);
    QAction* ok = options->addAction(QStringLiteral("&OK"));
    ok->setObjectName(QStringLiteral("OK1"));
    ok->setShortcut(QKeySequence(Qt::Key_F12));
    connect(ok, &QAction::triggered, this, &TMemoFrm::Button1Click);
    QAction* cancel = options->addAction(QStringLiteral("&Cancel ...ESC"));
    cancel->setObjectName(QStringLiteral("Cancel1"));
    connect(cancel, &QAction::triggered, this, &TMemoFrm::Button2Click);
    // The shortcuts work while the menu is closed and the memo has the keys.
    addActions({prompts, ok});

    Panel1 = new QWidget(this);
    Memo1 = new QTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Column text"));
    Memo1->setAcceptRichText(false);
    Memo1->setTabChangesFocus(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setLineWrapMode(QTextEdit::FixedPixelWidth);
    Memo1->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);
    auto* memoLayout = new QVBoxLayout(Panel1);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(Memo1);

    Panel2 = new QWidget(this);
    Panel2->setFixedHeight(kPanel2Height);
    Button1 = new QPushButton(QStringLiteral("&OK"), Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("&Cancel"), Panel2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TMemoFrm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMemoFrm::Button2Click);
    auto* buttons = new QHBoxLayout(Panel2);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(Panel1, 1);
    layout->addWidget(Panel2);
    resize(kClientWidth, kPanel1Height + kPanel2Height + MainMenu1->sizeHint().height());
    setColumnWidth(kClientWidth);
}

void TMemoFrm::setCardFont(const QFont& font) {
    setFont(font);
    Memo1->setFont(font);
}

void TMemoFrm::setLines(const QStringList& lines) {
    trailingEmptyRows_ = 0;
    for (auto line = lines.crbegin(); line != lines.crend() && line->isEmpty(); ++line)
        ++trailingEmptyRows_;
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Memo1->moveCursor(QTextCursor::Start);
}

void TMemoFrm::setColumnWidth(int pixels) {
    columnWidth_ = std::max(1, pixels);
    // The wrap width is fixed, whatever room the window gives the memo, so
    // lines break where they break in the column.
    Memo1->setLineWrapColumnOrWidth(columnWidth_);
    const int memoWidth =
        columnWidth_ + 2 * Memo1->frameWidth() + Memo1->verticalScrollBar()->sizeHint().width();
    resize(std::max(memoWidth, Panel2->minimumSizeHint().width()), height());
}

QStringList TMemoFrm::displayedLines() const {
    QTextDocument* document = Memo1->document();
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

void TMemoFrm::Button1Click() { accept(); }

void TMemoFrm::Button2Click() { reject(); }

void TMemoFrm::typeSymbol(const QString& symbol) {
    QTextCursor cursor = Memo1->textCursor();
    cursor.insertText(symbol);
    Memo1->setTextCursor(cursor);
}

void TMemoFrm::Memo1KeyUp(int key) {
    switch (key) {
        case Qt::Key_F5:
            typeSymbol(suits_[0]);
            break;
        case Qt::Key_F6:
            typeSymbol(suits_[1]);
            break;
        case Qt::Key_F7:
            typeSymbol(suits_[2]);
            break;
        case Qt::Key_F8:
            typeSymbol(suits_[3]);
            break;
        case Qt::Key_Escape:
            // The dialog may already have closed on the key's press.
            if (isVisible()) Button2Click();
            return;
        default:
            break;
    }
    emit memoTouched();
}

bool TMemoFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1) {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) Memo1KeyUp(key->key());
        } else if (event->type() == QEvent::FocusIn) {
            emit memoTouched();
        }
    } else if (watched == Memo1->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            emit memoTouched();
        } else if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                emit rightButtonPressed(
                    Memo1->viewport()->mapTo(Memo1, mouse->position().toPoint()));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
