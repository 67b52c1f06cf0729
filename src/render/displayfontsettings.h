#pragma once

#include <QFont>
#include <QString>

#include "card/texthelpers.h"

class IniFile;

// The card font and the suit display characters as the settings file holds
// them: "DFont" and "DSize" name the display font the card is shown and
// printed in, "TSize" the size of the notes font, and "club", "Diamond",
// "Heart" and "Spade" the characters the card font draws as suits.
struct DisplayFontSettings {
    static constexpr int kDefaultSize = 7;
    static constexpr int kDefaultNotesSize = 8;

    QString family = QStringLiteral("CardArial");
    int pointSize = kDefaultSize;
    int notesPointSize = kDefaultNotesSize;
    zqw::SuitChars suitChars;

    // Reads the keys of the setup section; a missing key, a size below 1 or
    // a suit character outside 1..255 keeps its default.
    static DisplayFontSettings read(const IniFile& settings);

    QFont displayFont() const;
    // The fixed-pitch notes font, "CardCourier" at notesPointSize.
    QFont notesFont() const;
};
