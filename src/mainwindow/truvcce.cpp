// Start-up, settings and shutdown of the main window.

#include "truvcce.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>

#include "mainwindow/appwindows.h"
#include "mainwindow/cardtext.h"
#include "printing/tcarddef.h"

namespace {

const char* const kCardFontFiles[] = {"cardaral.ttf", "cardcour.ttf", "cardfoot.ttf",
                                      "cardtime.ttf"};

}  // namespace

TRUVCCE::TRUVCCE(UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      TFE(new NotesTextEditor(nullptr)),
      card_(*this, *TFE) {
    setWindowTitle(QStringLiteral("ZQW Convention card editor"));
    setObjectName(QStringLiteral("TRUVCCE"));
    FormCreate();
}

TRUVCCE::~TRUVCCE() {
    FormDestroy();
    qApp->removeEventFilter(this);
}

void TRUVCCE::attachWindows(AppWindows* windows) { windows_ = windows; }

void TRUVCCE::showMessage(std::string_view text) {
    dialogs_.message(fromMessageText(std::string(text)));
}

void TRUVCCE::FormCreate() {
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    // The store's "path" is set by an installation; running from the build
    // tree, the program folder is the executable's own.
    card_.programDir = profile_.value(QStringLiteral("path")).toStdString();
    if (card_.programDir.empty())
        card_.programDir = QCoreApplication::applicationDirPath().toStdString();
    setCursor(Qt::WaitCursor);
    FormBusy = true;

    createControls();
    createMenus();
    registerCardFonts();
    settings_ = IniFile(userSettingsFilePath());
    readSettings();
    applyDisplayFont();
    applyNotesFont();

    const QString programDir = QString::fromStdString(card_.programDir);
    const QString templatePath = QDir(programDir).filePath(QStringLiteral("zqw.sel"));
    if (!card_.parseTemplateFile(templatePath.toStdString())) {
        dialogs_.message(QStringLiteral("zqw.sel file not found"));
        // Without a template there is no card; the window still opens on the
        // notes group so the user can read or save notes.
        card_.parseTemplate({});
    }
    NB1->blockSignals(true);
    for (const std::string& caption : card_.tabCaptions) NB1->addTab(fromCardText(caption));
    NB1->blockSignals(false);

    const QString last = QString::fromStdString(card_.cardFileName);
    if (!last.isEmpty() && QFileInfo(last).isFile()) {
        card_.readCardFile();
    } else {
        card_.resetToBlankCard();
        TFE->startEmpty();
        card_.notesOpen = true;
    }

    FormBusy = false;
    NB1->blockSignals(true);
    NB1->setCurrentIndex(0);
    NB1->blockSignals(false);
    unsetCursor();
    NoteReturnPosition.group = -1;
    prompts1_->setText(rightMouseItem_->isChecked() ? QStringLiteral("&Prompts (Right button)\tF2")
                                                    : QStringLiteral("&Prompts\tF2"));
    card_.packageFileName = profile_.value(QStringLiteral("zqwFile")).toStdString();
    qApp->installEventFilter(this);
}

void TRUVCCE::readSettings() {
    setGeometry(settings_.readInt(QStringLiteral("Left"), 20),
                settings_.readInt(QStringLiteral("Top"), 20),
                settings_.readInt(QStringLiteral("width"), 425),
                settings_.readInt(QStringLiteral("height"), 335));
    card_.suitChars.club = '}';
    card_.suitChars.diamond = '{';
    card_.suitChars.heart = ']';
    card_.suitChars.spade = '[';
    HintNo = settings_.readInt(QStringLiteral("hintno"), 1);
    card_.cardFileName = settings_.readString(QStringLiteral("file"), QString()).toStdString();
    card_.promptFileName = settings_.readString(QStringLiteral("cpfile"), QString()).toStdString();
    DisplayFont = QFont(settings_.readString(QStringLiteral("DFont"), QStringLiteral("CardArial")));
    DisplayFont.setPointSize(std::max(1, settings_.readInt(QStringLiteral("DSize"), 7)));
    NotesFont = QFont(QStringLiteral("CardCourier"));
    NotesFont.setPointSize(std::max(1, settings_.readInt(QStringLiteral("TSize"), 8)));
    NotesFont.setStyleHint(QFont::TypeWriter);
    noteTabsItem_->setChecked(settings_.readBool(QStringLiteral("NoteTabs"), true));
    rightMouseItem_->setChecked(settings_.readBool(QStringLiteral("RightMouse"), true));
    printAuctionItem_->setChecked(settings_.readBool(QStringLiteral("PrintAuction"), true));
    HintStart = settings_.readBool(QStringLiteral("hintstart"), true);
    ActiveGrid = 1;
}

void TRUVCCE::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    const QRect bounds = geometry();
    settings_.writeInt(QStringLiteral("Left"), bounds.x());
    settings_.writeInt(QStringLiteral("Top"), bounds.y());
    settings_.writeInt(QStringLiteral("width"), bounds.width());
    settings_.writeInt(QStringLiteral("height"), bounds.height());
    settings_.writeString(QStringLiteral("file"), QString::fromStdString(card_.cardFileName));
    settings_.writeString(QStringLiteral("cpfile"), QString::fromStdString(card_.promptFileName));
    settings_.writeString(QStringLiteral("DFont"), NB1->font().family());
    settings_.writeBool(QStringLiteral("NoteTabs"), noteTabsItem_->isChecked());
    settings_.writeBool(QStringLiteral("RightMouse"), rightMouseItem_->isChecked());
    settings_.writeBool(QStringLiteral("PrintAuction"), printAuctionItem_->isChecked());
    settings_.writeInt(QStringLiteral("DSize"), NB1->font().pointSize());
    settings_.writeInt(QStringLiteral("TSize"), TFE->font().pointSize());
    settings_.writeInt(QStringLiteral("club"), card_.suitChars.club);
    settings_.writeInt(QStringLiteral("Diamond"), card_.suitChars.diamond);
    settings_.writeInt(QStringLiteral("Heart"), card_.suitChars.heart);
    settings_.writeInt(QStringLiteral("Spade"), card_.suitChars.spade);
    settings_.writeInt(QStringLiteral("HintNo"), HintNo);
    settings_.writeBool(QStringLiteral("hintstart"), HintStart);
    FormBusy = true;
    settings_.save();
    profile_.setValue(QStringLiteral("ZQWFile"), QString::fromStdString(card_.packageFileName));
    profile_.sync();
    for (int id : fontIds_) QFontDatabase::removeApplicationFont(id);
    fontIds_.clear();
}

void TRUVCCE::registerCardFonts() {
    // The card fonts ship beside the program; registering them for this
    // process is enough for screen and printer alike.
    const QDir dir(QString::fromStdString(card_.programDir));
    for (const char* name : kCardFontFiles) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(QString::fromLatin1(name)));
        if (id >= 0) fontIds_.append(id);
    }
}

void TRUVCCE::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TRUVCCE::FormShow() {
    NB1PageChanged();
    // Typing goes straight into the first cell.
    if (!notesGroupShowing()) grid(OvcTable1->isHidden() ? 2 : 1).startEditing(true);
    setWindowTitle(QStringLiteral("ZQW Convention card editor: ") +
                   QString::fromStdString(card_.cardFileName));
    FormResize();
}

void TRUVCCE::applyDisplayFont() {
    NB1->setFont(DisplayFont);
    NB2->setFont(DisplayFont);
    OvcTable1->setFont(DisplayFont);
    OvcTable2->setFont(DisplayFont);
    Label1->setFont(DisplayFont);
}

void TRUVCCE::applyNotesFont() {
    TFE->setFixedFont(NotesFont);
    Label2->setFont(NotesFont);
}

int TRUVCCE::tabHeight(const QFont& font) const { return QFontMetrics(font).height() + 10; }

int TRUVCCE::label1Height() const { return QFontMetrics(Label1->font()).height() + 2; }

int TRUVCCE::clientWidth() const { return client_->width(); }

int TRUVCCE::clientHeight() const { return client_->height(); }

bool TRUVCCE::eventFilter(QObject* watched, QEvent* event) {
    // Menu shortcuts win over the keys a focused editor would take for
    // itself (Ctrl+A, Ctrl+Z ...), as menu shortcuts do everywhere else in
    // the editor's world; only keys that are menu shortcuts are touched.
    if (watched == NB1 && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && notesGroupShowing()) {
        ReturnToCard();  // NB1KeyUp
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (QShortcut* shortcut : shortcuts_) {
                if (shortcut->key() == pressed) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

const zqw::Section* TRUVCCE::currentSection() const {
    const int index = currentSectionIndex();
    return index < 0 ? nullptr : &card_.sections[index];
}

int TRUVCCE::currentSectionIndex() const {
    return card_.sectionIndexOf(NB1->currentIndex(), NB2->currentIndex());
}

bool TRUVCCE::notesGroupShowing() const { return card_.isNotesGroup(NB1->currentIndex()); }
