#pragma once

#include <string>
#include <string_view>

// The verbatim text of one of a dialog line's seven fields. A plain value:
// nothing derives from it, and seven of them stand in every line.
class DialogField {
public:
    // Stores text; no field rejects text.
    bool Parse(std::string_view text);

    const std::string &GetText() const { return m_text; }
    void SetText(std::string_view text) { m_text = text; }

    int GetInt() const { return ToInt(m_text); }
    void SetInt(int n) { m_text = std::to_string(n); }

    // Reads text the way atoi does: leading blanks, an optional sign, then
    // digits up to the first non-digit; 0 without digits. Values beyond the
    // 32-bit range clamp to the nearest 32-bit value.
    static int ToInt(std::string_view text);

private:
    std::string m_text;
};
