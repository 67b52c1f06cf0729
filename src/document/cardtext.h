#pragma once

#include <QString>
#include <QStringDecoder>
#include <string>

#include "dialogs/widgettext.h"

// Card texts are Windows-1252 bytes; widgets hold Unicode. The crossing
// both ways (fromCardText, enterCardText, the suit keys and symbols) is in
// dialogs/widgettext.h, over the core's card/cardtextinput.h.

// The core's messages hold card text (Windows-1252) and sometimes a file
// path, which on this system is UTF-8: text that reads as UTF-8 is taken so.
inline QString fromMessageText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded =
        utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? fromCardText(bytes) : decoded;
}
