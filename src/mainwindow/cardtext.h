#pragma once

#include <QString>
#include <string>

#include "cp1252.h"

// Card texts are Windows-1252 bytes; widgets hold Unicode.
inline QString fromCardText(const std::string& bytes) { return QString::fromStdString(zqw::cp1252ToUtf8(bytes)); }

inline std::string toCardText(const QString& text) { return zqw::utf8ToCp1252(text.toStdString()); }
