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
    for (char c : cp1252ToUtf8(cardText)) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
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
                    out_ += c;
                }
        }
    }
    out_ += '"';
    needComma_ = true;
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
