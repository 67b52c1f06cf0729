#include "appwindows.h"

#include "dialogs/tfinddlg.h"
#include "dialogs/treplacedlg.h"
#include "files/tgetnote.h"
#include "files/tsmtpfrm.h"
#include "mainwindow/truvcce.h"
#include "printing/fontdialogs.h"
#include "printing/tcarddef.h"
#include "printing/tfprnote.h"
#include "printing/tprintgo1.h"
#include "prompts/taboutbox.h"
#include "prompts/tcustprom.h"
#include "prompts/thintform.h"
#include "prompts/tmemofrm.h"
#include "prompts/tprompts.h"

const char* const AppWindows::kCaptions[15] = {"Select note number",
                                               "Select prompt",
                                               "About",
                                               "Find",
                                               "Replace",
                                               "Card symbol numbers",
                                               "Custom prompts",
                                               "Hints for using the ZQW Convention card editor",
                                               "Print Convention Card",
                                               "Convention card print options and layout",
                                               "Select convention card font",
                                               "Notes fixed pitch font",
                                               "Print notes file",
                                               "Email to KHF",
                                               "Edit column"};

AppWindows::AppWindows(TRUVCCE& main) {
    QWidget* parent = &main;
    getNote_ = std::make_unique<Tgetnote>(parent);
    prompts_ = std::make_unique<Tprompts>(parent);
    about_ = std::make_unique<TAboutBox>(parent);
    find_ = std::make_unique<TFindDlg>(parent);
    replace_ = std::make_unique<TReplaceDlg>(parent);
    symbols_ = std::make_unique<Tsymbolno>(parent);
    customPrompts_ = std::make_unique<TCustProm>(parent);
    hints_ = std::make_unique<THintForm>(parent);
    printCard_ = std::make_unique<TPrintGo1>(parent);
    cardLayout_ = std::make_unique<TCardDef>(main.card(), main.settings(), main.dialogs(), parent);
    fontDialog_ = std::make_unique<TOKFontDlg>(parent);
    notesFontDialog_ = std::make_unique<TOKNoteDlg>(parent);
    printNotes_ = std::make_unique<TfPrNote>(parent);
    email_ = std::make_unique<TSMTPFrm>(parent);
    columnEdit_ = std::make_unique<TMemoFrm>(parent);
}

AppWindows::~AppWindows() {
    columnEdit_.reset();
    email_.reset();
    printNotes_.reset();
    notesFontDialog_.reset();
    fontDialog_.reset();
    if (cardLayout_) cardLayout_->FormDestroy();
    cardLayout_.reset();
    printCard_.reset();
    hints_.reset();
    customPrompts_.reset();
    symbols_.reset();
    replace_.reset();
    find_.reset();
    about_.reset();
    prompts_.reset();
    getNote_.reset();
}
