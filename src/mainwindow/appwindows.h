#pragma once

#include <memory>

#include "card/card.h"

class TRUVCCE;
class Tgetnote;
class Tprompts;
class TAboutBox;
class TFindDlg;
class TReplaceDlg;
class Tsymbolno;
class TCustProm;
class THintForm;
class TPrintGo1;
class TCardDef;
class TOKFontDlg;
class TOKNoteDlg;
class TfPrNote;
class TSMTPFrm;
class TMemoFrm;
class QWidget;

// The editor's other windows, each made once after the main window, in a
// fixed order, and living until the program ends. They are destroyed in the
// reverse order, before the main window, so each writes its settings while
// the settings file is still open.
class AppWindows {
public:
    explicit AppWindows(TRUVCCE& main);
    ~AppWindows();

    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    Tgetnote& getNote() { return *getNote_; }
    Tprompts& prompts() { return *prompts_; }
    TAboutBox& about() { return *about_; }
    TFindDlg& find() { return *find_; }
    TReplaceDlg& replace() { return *replace_; }
    Tsymbolno& symbols() { return *symbols_; }
    TCustProm& customPrompts() { return *customPrompts_; }
    THintForm& hints() { return *hints_; }
    TPrintGo1& printCard() { return *printCard_; }
    TCardDef& cardLayout() { return *cardLayout_; }
    TOKFontDlg& fontDialog() { return *fontDialog_; }
    TOKNoteDlg& notesFontDialog() { return *notesFontDialog_; }
    TfPrNote& printNotes() { return *printNotes_; }
    TSMTPFrm& email() { return *email_; }
    TMemoFrm& columnEdit() { return *columnEdit_; }

    // Captions in creation order, for checks and the About box.
    static const char* const kCaptions[15];

private:
    std::unique_ptr<Tgetnote> getNote_;
    std::unique_ptr<Tprompts> prompts_;
    std::unique_ptr<TAboutBox> about_;
    std::unique_ptr<TFindDlg> find_;
    std::unique_ptr<TReplaceDlg> replace_;
    std::unique_ptr<Tsymbolno> symbols_;
    std::unique_ptr<TCustProm> customPrompts_;
    std::unique_ptr<THintForm> hints_;
    std::unique_ptr<TPrintGo1> printCard_;
    std::unique_ptr<TCardDef> cardLayout_;
    std::unique_ptr<TOKFontDlg> fontDialog_;
    std::unique_ptr<TOKNoteDlg> notesFontDialog_;
    std::unique_ptr<TfPrNote> printNotes_;
    std::unique_ptr<TSMTPFrm> email_;
    std::unique_ptr<TMemoFrm> columnEdit_;
};
