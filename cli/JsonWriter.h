#pragma once

#include <functional>
#include <string>
#include <string_view>

// Builds JSON text. Strings are given as dialog-file bytes and shown
// through the Windows-1252 mapping, so every byte reads as a character.
class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view key);
    void String(std::string_view bytes);
    // A string that is UTF-8 already when it is valid UTF-8 (a path); one
    // that is not is shown byte by byte through Windows-1252, as String does.
    void NativeString(std::string_view text);
    void Int(long long value);
    void Bool(bool value);
    void Null();

    const std::string &Text() const { return m_text; }
    // Hands the text so far to sink and goes on from an empty text.
    void Flush(const std::function<void(std::string_view)> &sink);

private:
    void Separate();
    void Quoted(std::string_view utf8);
    // Appends one character of text below U+0080, escaped where JSON asks.
    void Escaped(char c);

    std::string m_text;
    bool m_needComma = false;
};
