#include "document/editorsettings.h"

#include <algorithm>

#include "platform/inifile.h"
#include "platform/profilestore.h"
#include "platform/programpaths.h"

QStringList EditorSettings::read(const IniFile& file, const ProfileStore& profile) {
    windowBounds_ = QRect(
        file.readInt(QStringLiteral("Left"), 20), file.readInt(QStringLiteral("Top"), 20),
        file.readInt(QStringLiteral("width"), 425), file.readInt(QStringLiteral("height"), 335));
    // The suit characters always start from the card font's own; the stored
    // ones are written at the end but not read back.
    suitChars_ = zqw::SuitChars{};
    hintNumber_ = file.readInt(QStringLiteral("hintno"), 1);
    cardFile_ = file.readString(QStringLiteral("file"), QString());
    customPromptFile_ = file.readString(QStringLiteral("cpfile"), QString());
    displayFont_ = QFont(file.readString(QStringLiteral("DFont"), QStringLiteral("CardArial")));
    displayFont_.setPointSize(std::max(1, file.readInt(QStringLiteral("DSize"), 7)));
    notesFont_ = QFont(QStringLiteral("CardCourier"));
    notesFont_.setPointSize(std::max(1, file.readInt(QStringLiteral("TSize"), 8)));
    notesFont_.setStyleHint(QFont::TypeWriter);
    noteTabs_ = file.readBool(QStringLiteral("NoteTabs"), true);
    rightMousePrompts_ = file.readBool(QStringLiteral("RightMouse"), true);
    printAuctions_ = file.readBool(QStringLiteral("PrintAuction"), true);
    colourSuits_ = file.readBool(QStringLiteral("ColourSuits"), true);
    hintsAtStart_ = file.readBool(QStringLiteral("hintstart"), true);
    // The store's "path", when an installation sets it, wins; otherwise the
    // data lies beside the executable (the build tree) or in the
    // installation's share folder.
    programDir_ = profile.value(QStringLiteral("path"));
    if (programDir_.isEmpty()) programDir_ = findProgramDataDir();
    packageFile_ = profile.value(QStringLiteral("zqwFile"));
    backupFolder_ = profile.value(QStringLiteral("BackupFolder"));
    notesPaperName_ = file.readString(QStringLiteral("rbPaper"), QStringLiteral("A4"));
    return printLayout_.read(file);
}

void EditorSettings::write(IniFile& file, ProfileStore& profile) {
    // The layout keys come first, as they always have in the file.
    printLayout_.write(file);
    // The card and the notes print windows share these two keys; the card's
    // page setup is the one kept, as the card window always wrote last.
    const zqw::CardPageSetup& cardPage = printLayout_.pageSetup();
    file.writeString(QStringLiteral("rbPaper"), QString::fromStdString(cardPage.paperName()));
    file.writeString(QStringLiteral("rbBin"), QString::fromStdString(cardPage.binName()));
    file.writeInt(QStringLiteral("Left"), windowBounds_.x());
    file.writeInt(QStringLiteral("Top"), windowBounds_.y());
    file.writeInt(QStringLiteral("width"), windowBounds_.width());
    file.writeInt(QStringLiteral("height"), windowBounds_.height());
    file.writeString(QStringLiteral("file"), cardFile_);
    file.writeString(QStringLiteral("cpfile"), customPromptFile_);
    file.writeString(QStringLiteral("DFont"), displayFont_.family());
    file.writeBool(QStringLiteral("NoteTabs"), noteTabs_);
    file.writeBool(QStringLiteral("RightMouse"), rightMousePrompts_);
    file.writeBool(QStringLiteral("PrintAuction"), printAuctions_);
    file.writeBool(QStringLiteral("ColourSuits"), colourSuits_);
    file.writeInt(QStringLiteral("DSize"), displayFont_.pointSize());
    file.writeInt(QStringLiteral("TSize"), notesFont_.pointSize());
    file.writeInt(QStringLiteral("club"), suitChars_.club);
    file.writeInt(QStringLiteral("Diamond"), suitChars_.diamond);
    file.writeInt(QStringLiteral("Heart"), suitChars_.heart);
    file.writeInt(QStringLiteral("Spade"), suitChars_.spade);
    file.writeInt(QStringLiteral("HintNo"), hintNumber_);
    file.writeBool(QStringLiteral("hintstart"), hintsAtStart_);
    profile.setValue(QStringLiteral("ZQWFile"), packageFile_);
    profile.setValue(QStringLiteral("BackupFolder"), backupFolder_);
}

void EditorSettings::setDisplayFont(const QFont& font) {
    displayFont_ = font;
    emit displayFontChanged();
}

void EditorSettings::setNotesFontSize(int pointSize) {
    notesFont_.setPointSize(std::max(1, pointSize));
    emit notesFontChanged();
}

void EditorSettings::setSuitChars(const zqw::SuitChars& chars) {
    suitChars_ = chars;
    emit suitCharsChanged();
}

void EditorSettings::setNoteTabs(bool on) {
    if (on == noteTabs_) return;
    noteTabs_ = on;
    emit noteTabsChanged(on);
}

void EditorSettings::setRightMousePrompts(bool on) {
    if (on == rightMousePrompts_) return;
    rightMousePrompts_ = on;
    emit rightMousePromptsChanged(on);
}

void EditorSettings::setPrintAuctions(bool on) {
    if (on == printAuctions_) return;
    printAuctions_ = on;
    emit printAuctionsChanged(on);
}

void EditorSettings::setColourSuits(bool on) {
    if (on == colourSuits_) return;
    colourSuits_ = on;
    emit colourSuitsChanged(on);
}

DisplayFontSettings printFonts(const EditorSettings& settings) {
    DisplayFontSettings fonts;
    fonts.family = settings.displayFont().family();
    fonts.pointSize = settings.displayFont().pointSize();
    fonts.notesPointSize = settings.notesFont().pointSize();
    fonts.suitChars = settings.suitChars();
    return fonts;
}
