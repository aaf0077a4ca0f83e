#include "storage/PrintableText.h"

#include "model/Windows1252.h"

#include <cstdio>

namespace {

// Whether c is shown escaped: a control character or a backslash.
bool IsEscaped(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '\\';
}

void AppendEscaped(std::string &text, unsigned char c)
{
    switch (c) {
    case '\\':
        text += "\\\\";
        return;
    case '\n':
        text += "\\n";
        return;
    case '\r':
        text += "\\r";
        return;
    case '\t':
        text += "\\t";
        return;
    default:
        break;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(c));
    text += escaped;
}

} // namespace

std::string PrintableText::Escape(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        if (IsEscaped(static_cast<unsigned char>(c)))
            AppendEscaped(text, static_cast<unsigned char>(c));
        else
            text += c;
    }
    return text;
}

std::string PrintableText::FromWindows1252(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    size_t plain = 0; // where the bytes not yet converted start
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool undefined = c >= 0x80 && c < 0xA0 && Windows1252::ToUnicode(c) == c;
        if (!undefined && !IsEscaped(c))
            continue;
        text += Windows1252::ToUtf8(bytes.substr(plain, i - plain));
        AppendEscaped(text, c);
        plain = i + 1;
    }
    return text + Windows1252::ToUtf8(bytes.substr(plain));
}
