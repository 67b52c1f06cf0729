#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class CardDocument;
class CardFontDialog;
class EditorSettings;
class NotesFontDialog;
class OutputModule;
class QDialog;
class SectionView;
class SuitSymbolsDialog;
class UserDialogs;

// The Options menu's own items: fonts, card symbols, the print layout and
// the options that are ticked on and off. Each tick shows a setting.
class OptionsCommands : public QObject {
    Q_OBJECT

public:
    explicit OptionsCommands(const CommandContext& context);
    ~OptionsCommands() override;

    void editPrintLayout();
    void chooseCardFont();
    void chooseNotesFont();
    void chooseSuitSymbols();

private:
    CardDocument& document_;
    SectionView& view_;
    EditorSettings& settings_;
    UserDialogs& dialogs_;
    OutputModule& output_;
    // The print layout window is part of the output module.
    std::unique_ptr<QDialog> printLayoutDialog_;
    std::unique_ptr<CardFontDialog> cardFontDialog_;
    std::unique_ptr<NotesFontDialog> notesFontDialog_;
    std::unique_ptr<SuitSymbolsDialog> suitSymbolsDialog_;
};
