#pragma once

#include "speech/DecimalText.h"

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

    // Reads text the way atoi does (see DecimalText).
    static int ToInt(std::string_view text) { return DecimalText::ToInt(text); }

private:
    std::string m_text;
};
