#include "JsonWriter.h"

#include "model/Windows1252.h"

#include <cstdio>

namespace {

bool IsValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

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
    Quoted(Windows1252::ToUtf8(bytes));
}

void JsonWriter::NativeString(std::string_view text)
{
    Separate();
    Quoted(IsValidUtf8(text) ? std::string(text) : Windows1252::ToUtf8(text));
}

void JsonWriter::Int(long long value)
{
    Separate();
    m_text += std::to_string(value);
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

void JsonWriter::Quoted(std::string_view utf8)
{
    m_text += '"';
    for (const char c : utf8) {
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
    m_text += '"';
}
