#pragma once

class CardDocument;
class EditorSettings;
class MenuActions;
class NotesTextEditor;
class OutputModule;
class SectionView;
class UserDialogs;

// What the menu controllers are built from: the open card, its view, the
// notes editor, the settings, the one way to ask the user, printing and
// packages (loaded when first used) and the menu items each controller adds
// its own to. A controller keeps only the parts it uses.
struct CommandContext {
    CardDocument& document;
    SectionView& view;
    NotesTextEditor& notes;
    EditorSettings& settings;
    UserDialogs& dialogs;
    OutputModule& output;
    MenuActions& menu;
};
