#include "jsonwriter.h"

#include <cstdio>

#include "card/cp1252.h"

namespace zqw {

void JsonWriter::separate() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

void JsonWriter::beginObject() {
    separate();
    out_ += '{';
}

void JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
}

void JsonWriter::beginArray() {
    separate();
    out_ += '[';
}

void JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
}

void JsonWriter::key(std::string_view name) {
    value(name);
    out_ += ':';
    needComma_ = false;
}

void JsonWriter::value(std::string_view cardText) {
    separate();
    out_ += '"';
    appendEscaped(cardText);
    out_ += '"';
    needComma_ = true;
}

void JsonWriter::appendEscaped(std::string_view text) {
    // Most card text is plain ASCII: such runs are copied whole, and only
    // the bytes between them are escaped or converted one by one.
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') continue;
        out_.append(text.data() + run, i - run);
        run = i + 1;
        switch (byte) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                    out_ += escape;
                } else {
                    // Every Windows-1252 character lies in the Basic
                    // Multilingual Plane: two or three UTF-8 bytes.
                    const char32_t cp = cp1252ToUnicode(byte);
                    if (cp < 0x800) {
                        out_ += static_cast<char>(0xC0 | (cp >> 6));
                    } else {
                        out_ += static_cast<char>(0xE0 | (cp >> 12));
                        out_ += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                    }
                    out_ += static_cast<char>(0x80 | (cp & 0x3F));
                }
        }
    }
    out_.append(text.data() + run, text.size() - run);
}

void JsonWriter::value(int number) {
    separate();
    out_ += std::to_string(number);
    needComma_ = true;
}

void JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    needComma_ = true;
}

}  // namespace zqw
