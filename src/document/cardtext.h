#pragma once

#include <QString>
#include <QStringDecoder>
#include <string>

#include "card/cp1252.h"
#include "dialogs/widgettext.h"

// Card texts are Windows-1252 bytes; widgets hold Unicode (fromCardText
// and the way in, enterCardText: dialogs/widgettext.h).

// The core's messages hold card text (Windows-1252) and sometimes a file
// path, which on this system is UTF-8: text that reads as UTF-8 is taken so.
inline QString fromMessageText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded =
        utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? fromCardText(bytes) : decoded;
}

inline std::string toCardText(const QString& text) { return zqw::utf8ToCp1252(text.toStdString()); }

// Card text for the editor's own words (menu captions, messages): suit codes
// as the suit symbols themselves, which any font draws.
inline QString withSuitSymbols(const std::string& bytes) {
    QString text;
    for (const char c : bytes) {
        switch (c) {
            case 5:
                text += QChar(0x2663);
                break;
            case 4:
                text += QChar(0x2666);
                break;
            case 3:
                text += QChar(0x2665);
                break;
            case 6:
                text += QChar(0x2660);
                break;
            default:
                text += QChar(
                    static_cast<char16_t>(zqw::cp1252ToUnicode(static_cast<unsigned char>(c))));
        }
    }
    return text;
}
