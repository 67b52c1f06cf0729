// The main window's controls and menus, and the menu handlers that belong to
// the window itself (fonts, options, layout).

#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <functional>

#include "mainwindow/appwindows.h"
#include "mainwindow/truvcce.h"
#include "printing/fontdialogs.h"
#include "printing/tcarddef.h"

void TRUVCCE::createControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    Label1 = new QLabel(client_);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label2 = new RotatedLabel(client_);
    Label2->setObjectName(QStringLiteral("Label2"));

    NB1 = new QTabBar(client_);
    NB1->setObjectName(QStringLiteral("NB1"));
    NB1->setExpanding(false);
    NB1->setUsesScrollButtons(true);
    NB1->setDrawBase(true);
    NB1->setAccessibleName(QStringLiteral("Groups"));
    connect(NB1, &QTabBar::currentChanged, this, [this]() {
        if (changingTabs_ || FormBusy) return;
        NB1PageChange();
        NB1PageChanged();
    });
    NB1->installEventFilter(this);

    NB2Page = new QWidget(client_);
    NB2Page->setObjectName(QStringLiteral("NB2Page"));
    NB2 = new QTabBar(client_);
    NB2->setObjectName(QStringLiteral("NB2"));
    NB2->setShape(QTabBar::RoundedEast);
    NB2->setExpanding(false);
    NB2->setUsesScrollButtons(true);
    NB2->setAccessibleName(QStringLiteral("Sections"));
    NB2->addTab(QString());
    connect(NB2, &QTabBar::currentChanged, this, [this]() {
        if (changingTabs_ || FormBusy) return;
        NB1PageChange();
        NB2PageChanged();
    });

    OvcTable1 = new CardGrid(1, *this, NB2Page);
    OvcTable2 = new CardGrid(2, *this, NB2Page);
    TFE->setParent(NB2Page);
    TFE->setObjectName(QStringLiteral("TFE"));
    TFE->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    TFE->hide();
    connect(TFE, &NotesTextEditor::keyReleased, this, &TRUVCCE::TFEKeyUp);
}

QAction* TRUVCCE::addItem(QMenu* menu, const QString& objectName, const QString& caption,
                          const QKeySequence& key, std::function<void()> handler,
                          void (TRUVCCE::*opening)()) {
    auto* action = new QAction(menu);
    action->setObjectName(objectName);
    action->setText(key.isEmpty()
                        ? caption
                        : caption + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
    menu->addAction(action);
    if (handler) connect(action, &QAction::triggered, this, handler);
    if (!key.isEmpty()) {
        // The shortcut lives on the window, not the item, so that it still
        // works while the item is hidden; it opens the menu's handler first,
        // as a click does, and runs the item only if that left it enabled.
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, action, handler, opening]() {
            if (opening) (this->*opening)();
            if (itemEnabled(action) && handler) handler();
        });
        shortcuts_.append(shortcut);
    }
    return action;
}

void TRUVCCE::createMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [bar](const QString& name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    const std::function<void()> nothing;
    const auto call = [this](void (TRUVCCE::*handler)()) {
        return std::function<void()>([this, handler]() { (this->*handler)(); });
    };
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    constexpr auto ctrl = Qt::ControlModifier;
    constexpr auto shift = Qt::ShiftModifier;

    QMenu* file = menu(QStringLiteral("File1"), QStringLiteral("&File"));
    const auto fileItem = [&](const char* name, const char* caption, QKeySequence k,
                              std::function<void()> handler) {
        return addItem(file, QString::fromLatin1(name), QString::fromLatin1(caption), k, handler,
                       &TRUVCCE::MenFileClick);
    };
    fileItem("New1", "&New", key(ctrl | Qt::Key_N), call(&TRUVCCE::New1Click));
    fileItem("LOad1", "&Open", key(ctrl | Qt::Key_O), call(&TRUVCCE::LOad1Click));
    fileItem("Import1", "I&mport DOS ver", key(ctrl | Qt::Key_M), nothing);
    fileItem("Save1", "&Save", key(ctrl | Qt::Key_S), call(&TRUVCCE::Save1Click));
    fileItem("SaveAs1", "Save &As", key(ctrl | Qt::Key_A), call(&TRUVCCE::SaveAs1Click));
    fileItem("Close1", "&Close", key(ctrl | Qt::Key_Y), call(&TRUVCCE::Close1Click));
    fileItem("Print1", "&Print", key(ctrl | Qt::Key_P), nothing);
    QAction* printLayout =
        addItem(file, QStringLiteral("PrintLayout1"), QStringLiteral("Print &Layout"),
                QKeySequence(), call(&TRUVCCE::Cardlayout1Click));
    printLayout->setText(QStringLiteral("Print &Layout\t") +
                         key(ctrl | Qt::Key_L).toString(QKeySequence::NativeText));
    fileItem("Exit1", "&Exit", key(ctrl | Qt::Key_E), call(&TRUVCCE::Exit1Click));
    connect(file, &QMenu::aboutToShow, this, &TRUVCCE::MenFileClick);

    QMenu* notes = menu(QStringLiteral("NoteFile1"), QStringLiteral("&Notes"));
    const auto notesItem = [&](const char* name, const char* caption, QKeySequence k,
                               std::function<void()> handler) {
        return addItem(notes, QString::fromLatin1(name), QString::fromLatin1(caption), k, handler,
                       &TRUVCCE::NoteFile1Click);
    };
    notesItem("New3", "&New", key(ctrl | shift | Qt::Key_N), call(&TRUVCCE::New3Click));
    notesItem("load2", "&Load", key(ctrl | shift | Qt::Key_L), call(&TRUVCCE::load2Click));
    notesItem("Save2", "&Save", key(ctrl | shift | Qt::Key_S), call(&TRUVCCE::Save2Click));
    notesItem("SaveAs2", "Save &As", key(ctrl | shift | Qt::Key_A), call(&TRUVCCE::SaveAs2Click));
    notesItem("Close2", "Cl&ose", key(ctrl | shift | Qt::Key_O), call(&TRUVCCE::Close2Click));
    notesItem("Print2", "&Print", key(ctrl | shift | Qt::Key_P), nothing);
    notes->addSeparator();
    notesItem("Setnotefile1", "Lin&k to note file", key(ctrl | Qt::Key_K),
              call(&TRUVCCE::Setnotefile1Click));
    connect(notes, &QMenu::aboutToShow, this, &TRUVCCE::NoteFile1Click);

    static const char* const kNumbers[10] = {"&1", "&2", "&3", "&4", "&5",
                                             "&6", "&7", "&8", "&9", "1&0"};
    static const Qt::Key kF[10] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
                                   Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F10};
    QMenu* top = menu(QStringLiteral("Top1"), QStringLiteral("&Top"));
    QMenu* right = menu(QStringLiteral("Right1"), QStringLiteral("&Right"));
    for (int k = 0; k < 10; ++k) {
        topItems_[k] =
            addItem(top, QStringLiteral("TT%1").arg(k + 1), QString::fromLatin1(kNumbers[k]),
                    key(ctrl | kF[k]), [this, k]() { TT11Click(k); });
        rightItems_[k] =
            addItem(right, QStringLiteral("RT%1").arg(k + 1), QString::fromLatin1(kNumbers[k]),
                    key(shift | kF[k]), [this, k]() { RT11Click(k); });
    }

    QMenu* edit = menu(QStringLiteral("Edit1"), QStringLiteral("&Edit"));
    const auto editItem = [&](const char* name, const char* caption, QKeySequence k,
                              void (TRUVCCE::*handler)()) {
        return addItem(edit, QString::fromLatin1(name), QString::fromLatin1(caption), k,
                       call(handler), &TRUVCCE::Edit1Click);
    };
    editItem("Insertlinebefore1", "Insert line &before", key(ctrl | Qt::Key_B),
             &TRUVCCE::Insertlinebefore1Click);
    editItem("Deleteline1", "&Delete line", key(ctrl | Qt::Key_D), &TRUVCCE::Deleteline1Click);
    editItem("InsertlineAfter1", "&Insert line After", key(ctrl | Qt::Key_I),
             &TRUVCCE::InsertlineAfter1Click);
    editItem("Replicatedown1", "Replicate do&wn", key(ctrl | Qt::Key_W),
             &TRUVCCE::Replicatedown1Click);
    editItem("Findstring1", "&Find string", key(ctrl | Qt::Key_F), &TRUVCCE::Findstring1Click);
    editItem("Replacestring1", "&Replace string", key(ctrl | Qt::Key_R),
             &TRUVCCE::Replacestring1Click);
    editItem("Searchagain1", "Search a&gain", key(ctrl | Qt::Key_G), &TRUVCCE::Searchagain1Click);
    editItem("Copy1", "&Copy", key(ctrl | Qt::Key_Insert), &TRUVCCE::Copy1Click);
    editItem("Paste1", "&Paste", key(shift | Qt::Key_Insert), &TRUVCCE::Paste1Click);
    editItem("Cut1", "Cu&t", key(shift | Qt::Key_Delete), &TRUVCCE::Cut1Click);
    editItem("Undo1", "&Undo", key(ctrl | Qt::Key_Z), &TRUVCCE::Undo1Click);
    editItem("ReDo1", "R&eDo", key(ctrl | shift | Qt::Key_Z), &TRUVCCE::ReDo1Click);
    editItem("Notepadcolumnedit1", "&Notepad column edit", QKeySequence(Qt::Key_F12),
             &TRUVCCE::Notepadcolumnedit1Click);
    connect(edit, &QMenu::aboutToShow, this, &TRUVCCE::Edit1Click);

    QMenu* options = menu(QStringLiteral("Options1"), QStringLiteral("&Options"));
    addItem(options, QStringLiteral("DisplayFont1"), QStringLiteral("System &Font..."), {},
            call(&TRUVCCE::DisplayFont1Click));
    addItem(options, QStringLiteral("NotesFont1"), QStringLiteral("&Notes Font..."), {},
            call(&TRUVCCE::NotesFont1Click));
    addItem(options, QStringLiteral("Cardlayout1"), QStringLiteral("&Card layout..."),
            key(ctrl | Qt::Key_L), call(&TRUVCCE::Cardlayout1Click));
    addItem(options, QStringLiteral("Viewhints1"), QStringLiteral("&View hints..."), {}, nothing);
    // Checkable items: Qt ticks them itself on a click, so the click takes
    // the tick back and lets the handler invert it, as a shortcut would.
    const auto toggle = [this](QAction** item, void (TRUVCCE::*handler)()) {
        return std::function<void()>([this, item, handler]() {
            (*item)->setChecked(!(*item)->isChecked());
            (this->*handler)();
        });
    };
    noteTabsItem_ = addItem(options, QStringLiteral("NoteTabs1"), QStringLiteral("Note &Tabs"), {},
                            toggle(&noteTabsItem_, &TRUVCCE::NoteTabs1Click));
    noteTabsItem_->setCheckable(true);
    rightMouseItem_ = addItem(options, QStringLiteral("RightMousebuttonprompts1"),
                              QStringLiteral("&Right Mouse button prompts"), {},
                              toggle(&rightMouseItem_, &TRUVCCE::RightMousebuttonprompts1Click));
    rightMouseItem_->setCheckable(true);
    addItem(options, QStringLiteral("ProduceZQWfile1"), QStringLiteral("&Produce ZQW file"), {},
            nothing);
    addItem(options, QStringLiteral("EmailZQWFile1"), QStringLiteral("&Email ZQW File"), {},
            nothing);
    addItem(options, QStringLiteral("BackupZQWFile1"), QStringLiteral("&Backup ZQW File"), {},
            nothing);
    QAction* symbols =
        addItem(options, QStringLiteral("Cardsymbols1"), QStringLiteral("Card &symbols..."), {},
                call(&TRUVCCE::Cardsymbols1Click));
    symbols->setVisible(false);
    // Nothing in this editor records auctions; the item and its Ctrl+U stay
    // silent.
    QAction* auctions = addItem(options, QStringLiteral("Auctions1"),
                                QStringLiteral("A&uctions..."), key(ctrl | Qt::Key_U), nothing);
    auctions->setVisible(false);
    QAction* trueWidth = addItem(options, QStringLiteral("Truewidth"),
                                 QStringLiteral("True column &width"), {}, nothing);
    trueWidth->setCheckable(true);
    trueWidth->setChecked(true);
    trueWidth->setVisible(false);
    printAuctionItem_ =
        addItem(options, QStringLiteral("printauction"), QStringLiteral("&Print Auctions"), {},
                toggle(&printAuctionItem_, &TRUVCCE::printauctionClick));
    printAuctionItem_->setCheckable(true);
    printAuctionItem_->setVisible(false);

    QMenu* help = menu(QStringLiteral("Help1"), QStringLiteral("&Help"));
    addItem(help, QStringLiteral("About1"), QStringLiteral("&About"), {}, nothing);
    addItem(help, QStringLiteral("Basic1"), QStringLiteral("&Basic"), QKeySequence(Qt::Key_F1),
            nothing);
    prompts1_ = addItem(help, QStringLiteral("Prompts1"), QStringLiteral("&Prompts (Right button)"),
                        QKeySequence(Qt::Key_F2), call(&TRUVCCE::Prompts1Click));
    addItem(help, QStringLiteral("Notes1"), QStringLiteral("&Notes"), QKeySequence(Qt::Key_F3),
            call(&TRUVCCE::Notes1Click));
    addItem(help, QStringLiteral("Customprompts1"), QStringLiteral("&Custom prompts"),
            QKeySequence(Qt::Key_F4), nothing);
    addItem(help, QStringLiteral("Guidetocompletion1"), QStringLiteral("&Guide to completion"), {},
            nothing);
    addItem(help, QStringLiteral("Helphints1"), QStringLiteral("&Help hints"),
            QKeySequence(Qt::Key_F9), nothing);
}

// Qt disables a hidden item, yet a hidden item's shortcut must still work
// when its menu's handler left it enabled; the handlers' choice is kept
// beside Qt's own state.
void TRUVCCE::setItemEnabled(QAction* item, bool enabled) {
    item->setProperty("itemEnabled", enabled);
    item->setEnabled(enabled);
}

bool TRUVCCE::itemEnabled(const QAction* item) {
    const QVariant chosen = item->property("itemEnabled");
    return chosen.isValid() ? chosen.toBool() : true;
}

QMenu* TRUVCCE::menuNamed(const QString& objectName) const {
    return menuBar()->findChild<QMenu*>(objectName);
}

QAction* TRUVCCE::actionNamed(const QString& objectName) const {
    return menuBar()->findChild<QAction*>(objectName);
}

void TRUVCCE::Cardlayout1Click() {
    if (!windows_) return;
    storePendingEdits();
    dialogs_.execDialog(windows_->cardLayout());
    NB1PageChanged();
}

void TRUVCCE::DisplayFont1Click() {
    if (!windows_) return;
    TOKFontDlg& dialog = windows_->fontDialog();
    dialog.setFontChoice(DisplayFont);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    DisplayFont = dialog.chosenFont();
    applyDisplayFont();
    FormResize();
    NB1PageChanged();
}

void TRUVCCE::NotesFont1Click() {
    if (!windows_) return;
    TOKNoteDlg& dialog = windows_->notesFontDialog();
    dialog.setFontChoice(NotesFont);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    NotesFont.setPointSize(dialog.chosenSize());
    applyNotesFont();
    FormResize();
}

void TRUVCCE::Cardsymbols1Click() {
    if (!windows_) return;
    Tsymbolno& dialog = windows_->symbols();
    dialog.setSymbols(DisplayFont, card_.suitChars.club, card_.suitChars.diamond,
                      card_.suitChars.heart, card_.suitChars.spade);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    dialog.symbols(card_.suitChars.club, card_.suitChars.diamond, card_.suitChars.heart,
                   card_.suitChars.spade);
    OvcTable1->gridModel().refresh();
    OvcTable2->gridModel().refresh();
}

void TRUVCCE::NoteTabs1Click() { noteTabsItem_->setChecked(!noteTabsItem_->isChecked()); }

void TRUVCCE::RightMousebuttonprompts1Click() {
    rightMouseItem_->setChecked(!rightMouseItem_->isChecked());
    prompts1_->setText((rightMouseItem_->isChecked() ? QStringLiteral("&Prompts (Right button)")
                                                     : QStringLiteral("&Prompts")) +
                       QStringLiteral("\tF2"));
}

void TRUVCCE::printauctionClick() {
    printAuctionItem_->setChecked(!printAuctionItem_->isChecked());
}

void TRUVCCE::postUserMessage() {
    QMetaObject::invokeMethod(
        this,
        [this]() {
            if (userMessageHandler) userMessageHandler();
        },
        Qt::QueuedConnection);
}
