#include "cli/JsonWriter.h"

#include "model/Utf8.h"
#include "model/Windows1252.h"

#include <charconv>
#include <cstdio>

void JsonWriter::Separate()
{
    if (m_needComma)
        m_text += ',';
    m_needComma = true;
}

void JsonWriter::BeginObject()
{
    Separate();
    m_text += '{';
    m_needComma = false;
}

void JsonWriter::EndObject()
{
    m_text += '}';
    m_needComma = true;
}

void JsonWriter::BeginArray()
{
    Separate();
    m_text += '[';
    m_needComma = false;
}

void JsonWriter::EndArray()
{
    m_text += ']';
    m_needComma = true;
}

void JsonWriter::Key(std::string_view key)
{
    Separate();
    Quoted(key);
    m_text += ':';
    m_needComma = false;
}

void JsonWriter::String(std::string_view bytes)
{
    Separate();
    // Quoted(Windows1252::ToUtf8(bytes)) in one pass: runs of bytes that
    // stand for themselves go in whole.
    m_text += '"';
    size_t run = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\')
            continue;
        m_text.append(bytes.data() + run, i - run);
        run = i + 1;
        if (byte < 0x80)
            Escaped(static_cast<char>(byte));
        else
            m_text += Windows1252::ToUtf8(bytes.substr(i, 1));
    }
    m_text.append(bytes.data() + run, bytes.size() - run);
    m_text += '"';
}

void JsonWriter::NativeString(std::string_view text)
{
    Separate();
    Quoted(Utf8::IsValid(text) ? std::string(text) : Windows1252::ToUtf8(text));
}

void JsonWriter::Int(long long value)
{
    Separate();
    char digits[24];
    m_text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void JsonWriter::Bool(bool value)
{
    Separate();
    m_text += value ? "true" : "false";
}

void JsonWriter::Null()
{
    Separate();
    m_text += "null";
}

void JsonWriter::Flush(const std::function<void(std::string_view)> &sink)
{
    sink(m_text);
    m_text.clear();
}

void JsonWriter::Quoted(std::string_view utf8)
{
    // Runs of characters that stand for themselves, the bytes of those from
    // U+0080 on among them, go in whole.
    m_text += '"';
    size_t run = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\' && byte != 0x7F)
            continue;
        m_text.append(utf8.data() + run, i - run);
        run = i + 1;
        Escaped(utf8[i]);
    }
    m_text.append(utf8.data() + run, utf8.size() - run);
    m_text += '"';
}

void JsonWriter::Escaped(char c)
{
    switch (c) {
    case '"':
        m_text += "\\\"";
        break;
    case '\\':
        m_text += "\\\\";
        break;
    case '\n':
        m_text += "\\n";
        break;
    case '\r':
        m_text += "\\r";
        break;
    case '\t':
        m_text += "\\t";
        break;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            m_text += escaped;
        } else {
            m_text += c;
        }
    }
}
