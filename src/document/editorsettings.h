#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>

#include "card/texthelpers.h"
#include "render/displayfontsettings.h"
#include "render/printlayoutsettings.h"

class IniFile;
class ProfileStore;

// Every option of the editor with its typed value: read once at start-up
// from the settings file and the per-user store, changed only through
// these setters while the editor runs, and written back at shutdown.
class EditorSettings : public QObject {
    Q_OBJECT

public:
    EditorSettings() = default;

    // Reads every key; returns the messages for the user (a stored margin
    // the layout cannot show).
    QStringList read(const IniFile& file, const ProfileStore& profile);
    void write(IniFile& file, ProfileStore& profile);

    QRect windowBounds() const { return windowBounds_; }
    void setWindowBounds(const QRect& bounds) { windowBounds_ = bounds; }
    // The card opened at start-up and the custom prompt file: the last ones
    // in use.
    QString cardFile() const { return cardFile_; }
    void setCardFile(const QString& path) { cardFile_ = path; }
    QString customPromptFile() const { return customPromptFile_; }
    void setCustomPromptFile(const QString& path) { customPromptFile_ = path; }
    QString packageFile() const { return packageFile_; }
    void setPackageFile(const QString& path) { packageFile_ = path; }
    // The folder the last package backup went to.
    QString backupFolder() const { return backupFolder_; }
    void setBackupFolder(const QString& path) { backupFolder_ = path; }
    // The folder of the program's data (template, fonts, hints, help).
    QString programDir() const { return programDir_; }

    // The card font of tabs, grids, captions and printouts.
    QFont displayFont() const { return displayFont_; }
    void setDisplayFont(const QFont& font);
    // The fixed-pitch notes font; only its size is the user's to choose.
    QFont notesFont() const { return notesFont_; }
    void setNotesFontSize(int pointSize);
    // The characters the card font draws as suits.
    zqw::SuitChars suitChars() const { return suitChars_; }
    void setSuitChars(const zqw::SuitChars& chars);

    bool noteTabs() const { return noteTabs_; }
    void setNoteTabs(bool on);
    bool rightMousePrompts() const { return rightMousePrompts_; }
    void setRightMousePrompts(bool on);
    bool printAuctions() const { return printAuctions_; }
    void setPrintAuctions(bool on);
    // On screen hearts and diamonds are red, clubs and spades black.
    bool colourSuits() const { return colourSuits_; }
    void setColourSuits(bool on);

    int hintNumber() const { return hintNumber_; }
    void setHintNumber(int number) { hintNumber_ = number; }
    bool hintsAtStart() const { return hintsAtStart_; }
    void setHintsAtStart(bool on) { hintsAtStart_ = on; }

    PrintLayoutSettings& printLayout() { return printLayout_; }
    const PrintLayoutSettings& printLayout() const { return printLayout_; }
    // The paper the notes print on: the one the print windows stored last.
    // (The card's paper and bin are the print layout's own.)
    QString notesPaperName() const { return notesPaperName_; }

signals:
    void displayFontChanged();
    void notesFontChanged();
    void suitCharsChanged();
    void noteTabsChanged(bool on);
    void rightMousePromptsChanged(bool on);
    void printAuctionsChanged(bool on);
    void colourSuitsChanged(bool on);

private:
    QRect windowBounds_{20, 20, 425, 335};

    QString cardFile_;
    QString customPromptFile_;
    QString packageFile_;
    QString backupFolder_;
    QString programDir_;
    QFont displayFont_;
    QFont notesFont_;
    zqw::SuitChars suitChars_;
    bool noteTabs_ = true;
    bool rightMousePrompts_ = true;
    bool printAuctions_ = true;
    bool colourSuits_ = true;
    int hintNumber_ = 1;
    bool hintsAtStart_ = true;
    PrintLayoutSettings printLayout_;
    QString notesPaperName_ = QStringLiteral("A4");
};

// The display font, notes font size and suit characters the printouts use,
// as the editor's settings hold them now.
DisplayFontSettings printFonts(const EditorSettings& settings);
