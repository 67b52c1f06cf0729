#pragma once

#include <string>
#include <string_view>

namespace zqw {

// A small streaming JSON writer; card texts are Windows-1252 bytes and are
// written as UTF-8, control bytes as \u00XX escapes.
class JsonWriter {
public:
    JsonWriter() { out_.reserve(1 << 16); }
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void value(std::string_view cardText);
    void value(const char* cardText) { value(std::string_view(cardText)); }
    void value(const std::string& cardText) { value(std::string_view(cardText)); }
    void value(int number);
    void value(bool flag);
    // key(name) followed by value(v).
    template <typename T>
    void member(std::string_view name, const T& v) {
        key(name);
        value(v);
    }

    const std::string& text() const { return out_; }

private:
    void separate();
    void appendEscaped(std::string_view text);

    std::string out_;
    bool needComma_ = false;
};

}  // namespace zqw
