#include "prompts/custompromptswindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

#include "card/customprompts.h"
#include "dialogs/cardtextvalidator.h"
#include "dialogs/suittextdelegate.h"
#include "dialogs/userdialogs.h"
#include "prompts/promptlistwindow.h"

namespace {

// A row shows, and its editor takes, at most this many characters.
constexpr int kEntryLength = 255;

const char* const kSaveQuestion = "Do you wish to save the current custom prompt file";
const char* const kFileFilter = "Custom prompt text files (*.txt)|*.txt";
const char* const kCaption = "Custom prompts";

const QKeyCombination kInsertLineKey(Qt::ControlModifier, Qt::Key_Insert);
const QKeyCombination kDeleteLineKey(Qt::ControlModifier, Qt::Key_Delete);

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool isPlainDown(const QKeyEvent& key) {
    return key.key() == Qt::Key_Down && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool isLineKey(const QKeyEvent& key) {
    return key.keyCombination() == kInsertLineKey || key.keyCombination() == kDeleteLineKey;
}

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The core's file messages, shown as message boxes.
class DialogMessages : public zqw::MessageSink {
public:
    explicit DialogMessages(UserDialogs& dialogs) : dialogs_(dialogs) {}
    void showMessage(std::string_view text) override {
        dialogs_.message(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    UserDialogs& dialogs_;
};

}  // namespace

// The entries and the rows that show them. Rows are counted apart from the
// entries: an empty list still shows one blank row, and Insert line adds a
// row with its entry while rows beyond the last entry stay blank until
// something is typed into them.
class CustomPromptList : public QAbstractTableModel {
public:
    // clean makes a row's text what an entry may hold.
    CustomPromptList(std::function<void()> edited, std::function<QString(QString)> clean)
        : edited_(std::move(edited)), clean_(std::move(clean)) {}

    const QStringList& entries() const { return entries_; }

    void reset(const QStringList& entries) {
        beginResetModel();
        entries_ = entries;
        rows_ = std::max(1, static_cast<int>(entries_.size()));
        endResetModel();
    }
    // A file that could not be read: no entries, the rows as they were.
    void clearEntries() {
        entries_.clear();
        refresh();
    }
    void translate(const std::function<QString(const QString&)>& change) {
        for (QString& entry : entries_) entry = change(entry);
        refresh();
    }
    // How the entries are read aloud.
    void setSuitText(const SuitText& suits) {
        suits_ = suits;
        refresh();
    }

    void insertBlank(int row) {
        beginInsertRows({}, rows_, rows_);
        ++rows_;
        entries_.insert(std::min(row, static_cast<int>(entries_.size())), QString());
        endInsertRows();
        refresh();
    }
    // A blank row after the last, for the next entry.
    void appendBlankRow() {
        beginInsertRows({}, rows_, rows_);
        ++rows_;
        endInsertRows();
    }
    void removeEntry(int row) {
        if (row < entries_.size()) entries_.removeAt(row);
        if (rows_ > 1) {
            beginRemoveRows({}, rows_ - 1, rows_ - 1);
            --rows_;
            endRemoveRows();
        }
        refresh();
    }
    void insertEntry(int row, const QString& text) {
        if (!entries_.isEmpty()) {
            beginInsertRows({}, rows_, rows_);
            ++rows_;
            endInsertRows();
        }
        padTo(row);
        entries_.insert(row, text);
        refresh();
    }
    // A row edited: its entry, or a new one when the row had none.
    bool setEntry(int row, const QString& text) {
        if (row < entries_.size()) {
            if (entries_[row].left(kEntryLength) == text) return false;
            entries_[row] = text;
        } else {
            if (text.isEmpty()) return false;
            padTo(row);
            entries_.append(text);
        }
        refresh();
        return true;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const QString shown =
            index.row() < entries_.size() ? entries_[index.row()].left(kEntryLength) : QString();
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return shown;
            case Qt::AccessibleTextRole:
                // The suits as words, not as the brackets the card font
                // draws as suits.
                return suits_.spoken(shown);
            default:
                return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole) return false;
        if (setEntry(index.row(), clean_(value.toString()))) edited_();
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::ItemIsDropEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }

private:
    // Rows between the last entry and row become empty entries, so an entry
    // lands on the row it was put on.
    void padTo(int row) {
        while (entries_.size() < row) entries_.append(QString());
    }
    void refresh() {
        if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, 0));
    }

    std::function<void()> edited_;
    std::function<QString(QString)> clean_;
    QStringList entries_;
    int rows_ = 1;
    SuitText suits_;
};

// The grid, with a way to end its editing from outside.
class CustomPromptGrid : public QTableView {
public:
    using QTableView::QTableView;

    QLineEdit* editor() const {
        return state() == EditingState ? qobject_cast<QLineEdit*>(indexWidget(currentIndex()))
                                       : nullptr;
    }
    void endEditing(bool keep) {
        QLineEdit* line = editor();
        if (!line) return;
        if (keep) commitData(line);
        closeEditor(line, QAbstractItemDelegate::NoHint);
    }
};

// The rows drawn with their suits in colour, and the editor of a row.
class CustomPromptDelegate : public SuitTextDelegate {
public:
    // setUp gives each editor what the window wants of it.
    CustomPromptDelegate(QObject& keys, std::function<void(QLineEdit&)> setUp, QObject* parent)
        : SuitTextDelegate(parent), keys_(keys), setUp_(std::move(setUp)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("customPromptEditor"));
        editor->setAccessibleName(QStringLiteral("Custom prompt %1").arg(index.row() + 1));
        editor->setFrame(false);
        editor->setFont(parent->font());
        // A prompt dragged here lands on the grid, as a new entry.
        editor->setAcceptDrops(false);
        editor->installEventFilter(&keys_);
        setUp_(*editor);
        // A screen reader gets the text as typed, brackets and all; the
        // description says it with the suits as words.
        connect(editor, &QLineEdit::textChanged, editor, [editor, suits = suitText()] {
            const QString said = suits.spoken(editor->text());
            editor->setAccessibleDescription(said != editor->text() ? said : QString());
        });
        return editor;
    }

private:
    QObject& keys_;
    std::function<void(QLineEdit&)> setUp_;
};

CustomPromptsWindow::CustomPromptsWindow(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool), dialogs_(dialogs) {
    setObjectName(QStringLiteral("customPromptsWindow"));
    setWindowTitle(QLatin1String(kCaption));
    list_ = std::make_unique<CustomPromptList>([this] { modified_ = true; },
                                               [this](QString text) {
                                                   CardTextValidator::clean(text, suitChars_,
                                                                            kEntryLength);
                                                   return text;
                                               });

    menuBar_ = new QMenuBar(this);
    QMenu* fileMenu = menuBar_->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("customFileMenu"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             void (CustomPromptsWindow::*run)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    item(fileMenu, "newCustomPrompts", QStringLiteral("&New"), &CustomPromptsWindow::newList);
    item(fileMenu, "openCustomPrompts", QStringLiteral("&Open"), &CustomPromptsWindow::openList);
    QAction* save = fileMenu->addAction(QStringLiteral("&Save"));
    save->setObjectName(QStringLiteral("saveCustomPrompts"));
    connect(save, &QAction::triggered, this, [this] { saveList(); });
    QAction* saveAs = fileMenu->addAction(QStringLiteral("Save &as"));
    saveAs->setObjectName(QStringLiteral("saveCustomPromptsAs"));
    connect(saveAs, &QAction::triggered, this, [this] { saveListAs(); });
    QMenu* editMenu = menuBar_->addMenu(QStringLiteral("&Edit"));
    editMenu->setObjectName(QStringLiteral("customEditMenu"));
    // The keys are this window's own (see event()); the items only name them.
    const QString insertKey = QKeySequence(kInsertLineKey).toString(QKeySequence::NativeText);
    const QString deleteKey = QKeySequence(kDeleteLineKey).toString(QKeySequence::NativeText);
    item(editMenu, "insertCustomPromptLine", QStringLiteral("&Insert line\t") + insertKey,
         &CustomPromptsWindow::insertLine);
    item(editMenu, "deleteCustomPromptLine", QStringLiteral("&Delete line\t") + deleteKey,
         &CustomPromptsWindow::deleteLine);
    // Opening a menu stores what is being typed, so its command sees it.
    for (QMenu* menu : {fileMenu, editMenu})
        connect(menu, &QMenu::aboutToShow, this, [this] { endEditing(true); });

    grid_ = new CustomPromptGrid(this);
    grid_->setObjectName(QStringLiteral("customPromptGrid"));
    grid_->setAccessibleName(QStringLiteral("Custom prompts"));
    grid_->setModel(list_.get());
    rowPainter_ = new CustomPromptDelegate(
        *this, [this](QLineEdit& editor) { setUpEditor(editor); }, grid_);
    grid_->setItemDelegate(rowPainter_);
    showSuits();
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setTabKeyNavigation(false);
    grid_->setWordWrap(false);
    grid_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid_->setDragDropMode(QAbstractItemView::DropOnly);
    grid_->setCurrentIndex(list_->index(0, 0));
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        chooseRow(index.row());
        endEditing(false);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(grid_);
    // What the typing did that the row cannot show.
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("customPromptsStatus"));
    status_->setWordWrap(true);
    status_->setContentsMargins(4, 2, 4, 2);
    status_->hide();
    layout->addWidget(status_);
    resize(260, 300);
}

CustomPromptsWindow::~CustomPromptsWindow() = default;

void CustomPromptsWindow::setUpEditor(QLineEdit& editor) {
    // Suit symbols typed or pasted become the suits; the validator also
    // holds the entry to its length, saying so, where the line edit's own
    // limit would cut pasted text without a word.
    auto* validator = new CardTextValidator(&editor);
    validator->setSuitChars(suitChars_);
    validator->setLengthLimit(kEntryLength);
    editor.setValidator(validator);
    connect(validator, &CardTextValidator::charactersReplaced, this,
            [this](const std::vector<zqw::ReplacedCharacter>& replaced) {
                showStatus(replacementNote(replaced, QStringLiteral("a custom prompt file")));
            });
    connect(validator, &CardTextValidator::lengthLimitReached, this, [this] {
        QApplication::beep();
        showStatus(QStringLiteral("A custom prompt holds at most %1 characters").arg(kEntryLength));
    });
    connect(&editor, &QLineEdit::textEdited, this, [this] {
        // A note stays for the edit that caused it only.
        if (!noteJustShown_) status_->hide();
        noteJustShown_ = false;
    });
}

void CustomPromptsWindow::showStatus(const QString& text) {
    status_->setText(text);
    status_->show();
    noteJustShown_ = true;
}

QString CustomPromptsWindow::statusText() const {
    return status_->isHidden() ? QString() : status_->text();
}

QTableView& CustomPromptsWindow::grid() { return *grid_; }

void CustomPromptsWindow::setFileName(const QString& path) {
    if (path == fileName_) return;
    fileName_ = path;
    emit fileNameChanged(path);
}

void CustomPromptsWindow::setSuitChars(const zqw::SuitChars& chars) {
    const zqw::SuitChars old = suitChars_;
    suitChars_ = chars;
    list_->translate([&old, &chars](const QString& entry) {
        std::string text = enterCardText(entry, old).bytes;
        zqw::displayToCodes(text, old);
        zqw::codesToDisplay(text, chars);
        return fromCardText(text);
    });
    showSuits();
}

void CustomPromptsWindow::setColourSuits(bool on) {
    if (on == colourSuits_) return;
    colourSuits_ = on;
    showSuits();
}

void CustomPromptsWindow::showSuits() {
    rowPainter_->setSuitText(suitText());
    list_->setSuitText(suitText());
    grid_->viewport()->update();
}

void CustomPromptsWindow::setCardFont(const QFont& font) {
    grid_->setFont(font);
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
}

QStringList CustomPromptsWindow::prompts() const { return list_->entries(); }

int CustomPromptsWindow::rowCount() const { return list_->rowCount(); }

// --- commands -------------------------------------------------------------------

bool CustomPromptsWindow::mayDiscardList() {
    if (!modified_) return true;
    switch (dialogs_.question(QLatin1String(kSaveQuestion), true)) {
        case UserDialogs::Answer::Yes:
            // A list that could not be saved is not thrown away.
            return saveList();
        case UserDialogs::Answer::No:
            return true;
        case UserDialogs::Answer::Cancel:
            break;
    }
    return false;
}

void CustomPromptsWindow::newList() {
    endEditing(true);
    if (!mayDiscardList()) return;
    setFileName(QString());
    list_->reset({});
    modified_ = false;
    setCaptionFor(QString());
    grid_->setCurrentIndex(list_->index(0, 0));
}

void CustomPromptsWindow::openList() {
    endEditing(true);
    if (!mayDiscardList()) return;
    const auto path = dialogs_.openFile(
        UserDialogs::FileRequest::of(QLatin1String(kFileFilter), QStringLiteral("txt")));
    if (!path) return;
    setFileName(*path);
    readFile();
    modified_ = false;
}

bool CustomPromptsWindow::saveList() {
    endEditing(true);
    if (fileName_.isEmpty()) return saveListAs();
    if (!writeTo(fileName_)) return false;
    modified_ = false;
    return true;
}

bool CustomPromptsWindow::saveListAs() {
    endEditing(true);
    const auto path = dialogs_.saveFile(
        UserDialogs::FileRequest::of(QLatin1String(kFileFilter), QStringLiteral("txt")));
    if (!path) return false;
    // A file that could not be written does not become the list's file.
    if (!writeTo(*path)) return false;
    modified_ = false;
    setFileName(*path);
    setCaptionFor(*path);
    return true;
}

void CustomPromptsWindow::insertLine() {
    endEditing(true);
    const int row = std::max(0, grid_->currentIndex().row());
    list_->insertBlank(row);
    modified_ = true;
    grid_->setCurrentIndex(list_->index(row, 0));
}

void CustomPromptsWindow::moveDownFromLastRow() {
    endEditing(true);
    const int last = list_->rowCount() - 1;
    // A blank row after the entries is already where the next one goes.
    if (last < list_->entries().size()) list_->appendBlankRow();
    grid_->setCurrentIndex(list_->index(list_->rowCount() - 1, 0));
    grid_->setFocus();
}

void CustomPromptsWindow::deleteLine() {
    endEditing(true);
    const int row = std::max(0, grid_->currentIndex().row());
    list_->removeEntry(row);
    modified_ = true;
    grid_->setCurrentIndex(list_->index(std::min(row, list_->rowCount() - 1), 0));
}

bool CustomPromptsWindow::isPromptDrag(const QMimeData& data, const QObject* source) {
    // Only the prompt list's items are taken, not text from anywhere.
    return data.hasText() && qobject_cast<const PromptListBox*>(source) != nullptr;
}

void CustomPromptsWindow::dropPrompt(const QMimeData& data, const QPoint& position) {
    endEditing(true);
    const QModelIndex index = grid_->indexAt(position);
    QString prompt = data.text();
    CardTextValidator::clean(prompt, suitChars_, kEntryLength);
    if (index.isValid() && !prompt.isEmpty()) {
        list_->insertEntry(index.row(), prompt);
        grid_->setCurrentIndex(list_->index(index.row(), 0));
    }
    modified_ = true;
}

void CustomPromptsWindow::offerSaveAtExit() {
    endEditing(true);
    if (!modified_) return;
    if (dialogs_.question(QLatin1String(kSaveQuestion), false) == UserDialogs::Answer::Yes)
        saveList();
}

// --- file -------------------------------------------------------------------------

void CustomPromptsWindow::readFile() {
    DialogMessages messages(dialogs_);
    const auto entries = zqw::readCustomPromptsFile(localPath(fileName_), suitChars_, messages);
    if (!entries) {
        list_->clearEntries();
        return;
    }
    QStringList texts;
    for (const std::string& entry : *entries) texts.append(fromCardText(entry));
    list_->reset(texts);
    setCaptionFor(fileName_);
    grid_->setCurrentIndex(list_->index(0, 0));
}

bool CustomPromptsWindow::writeTo(const QString& path) {
    std::vector<std::string> entries;
    for (const QString& entry : list_->entries())
        entries.push_back(enterCardText(entry, suitChars_).bytes);
    DialogMessages messages(dialogs_);
    return zqw::writeCustomPromptsFile(localPath(path), entries, suitChars_, messages);
}

void CustomPromptsWindow::setCaptionFor(const QString& path) {
    setWindowTitle(path.isEmpty()
                       ? QLatin1String(kCaption)
                       : QFileInfo(path).fileName() + QLatin1Char(' ') + QLatin1String(kCaption));
}

// --- keys, mouse and drops -------------------------------------------------------

void CustomPromptsWindow::chooseRow(int row) {
    if (row >= 0 && row < list_->entries().size()) emit promptChosen(list_->entries()[row]);
}

void CustomPromptsWindow::endEditing(bool keep) { grid_->endEditing(keep); }

void CustomPromptsWindow::typeSuit(int key) {
    QLineEdit* editor = grid_->editor();
    if (!editor) {
        dialogs_.message(QStringLiteral("Select a place to enter the card symbol"));
        return;
    }
    editor->insert(suitKeyText(key, suitChars_));
}

bool CustomPromptsWindow::event(QEvent* event) {
    // Insert line and Delete line are this window's keys even where the
    // editor's window has the same key for something else (Ctrl+Ins copies
    // there).
    if (event->type() == QEvent::ShortcutOverride && isLineKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && isLineKey(*static_cast<QKeyEvent*>(event))) {
        if (static_cast<QKeyEvent*>(event)->keyCombination() == kInsertLineKey) {
            insertLine();
        } else {
            deleteLine();
        }
        return true;
    }
    return QWidget::event(event);
}

bool CustomPromptsWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool onGrid = watched == grid_;
    const bool onEditor = !onGrid && qobject_cast<QLineEdit*>(watched) != nullptr;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            if (!onGrid && !onEditor) break;
            const auto* key = static_cast<QKeyEvent*>(event);
            if (isLineKey(*key)) return this->event(event);
            if (event->type() == QEvent::KeyPress && isPlainDown(*key) &&
                grid_->currentIndex().row() == list_->rowCount() - 1) {
                moveDownFromLastRow();
                return true;
            }
            if (onGrid && event->type() == QEvent::KeyPress && grid_->editor() == nullptr) {
                if (isEnter(key->key())) {
                    chooseRow(grid_->currentIndex().row());
                    return true;
                }
                if (key->key() == Qt::Key_Escape) {
                    close();
                    return true;
                }
            }
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((onGrid || onEditor) && isSuitKey(key->key()) && !key->isAutoRepeat()) {
                typeSuit(key->key());
                return true;
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (watched == grid_->viewport()) {
                endEditing(true);
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (isPromptDrag(*drag->mimeData(), drag->source())) {
                    drag->setDropAction(Qt::CopyAction);
                    drag->accept();
                } else {
                    drag->ignore();
                }
                return true;
            }
            break;
        case QEvent::Drop:
            if (watched == grid_->viewport()) {
                auto* drop = static_cast<QDropEvent*>(event);
                if (isPromptDrag(*drop->mimeData(), drop->source())) {
                    dropPrompt(*drop->mimeData(), drop->position().toPoint());
                    drop->setDropAction(Qt::CopyAction);
                    drop->accept();
                }
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void CustomPromptsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!fileName_.isEmpty() && list_->entries().isEmpty()) readFile();
    if (!event->spontaneous()) emit shownChanged(true);
}

void CustomPromptsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) emit shownChanged(false);
}

void CustomPromptsWindow::closeEvent(QCloseEvent* event) {
    endEditing(true);
    if (modified_) {
        const bool save =
            dialogs_.question(QLatin1String(kSaveQuestion), false) == UserDialogs::Answer::Yes;
        // A list that could not be saved stays marked as changed, so it is
        // offered again before it can be lost.
        if (!save || saveList()) modified_ = false;
    }
    event->accept();
}
