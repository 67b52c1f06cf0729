#include "render/displayfontsettings.h"

#include "platform/inifile.h"

namespace {

int suitCharFrom(const IniFile& settings, const char* key, int fallback) {
    const int value = settings.readInt(QLatin1String(key), fallback);
    return value >= 1 && value <= 255 ? value : fallback;
}

}  // namespace

DisplayFontSettings DisplayFontSettings::read(const IniFile& settings) {
    DisplayFontSettings font;
    const QString family = settings.readString(QStringLiteral("DFont"), font.family);
    if (!family.trimmed().isEmpty()) font.family = family;
    const int size = settings.readInt(QStringLiteral("DSize"), kDefaultSize);
    if (size >= 1) font.pointSize = size;
    const int notesSize = settings.readInt(QStringLiteral("TSize"), kDefaultNotesSize);
    if (notesSize >= 1) font.notesPointSize = notesSize;
    zqw::SuitChars& chars = font.suitChars;
    chars.club = suitCharFrom(settings, "club", chars.club);
    chars.diamond = suitCharFrom(settings, "Diamond", chars.diamond);
    chars.heart = suitCharFrom(settings, "Heart", chars.heart);
    chars.spade = suitCharFrom(settings, "Spade", chars.spade);
    return font;
}

QFont DisplayFontSettings::displayFont() const {
    QFont font(family);
    font.setPointSize(pointSize);
    return font;
}

QFont DisplayFontSettings::notesFont() const {
    QFont font(QStringLiteral("CardCourier"));
    font.setPointSize(notesPointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
