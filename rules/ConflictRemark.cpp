#include "rules/ConflictRemark.h"

#include <cstdio>

std::string ConflictRemark::Make(std::string_view what)
{
    std::string remark(kMark);
    remark += what;
    return remark;
}

std::string ConflictRemark::Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            quoted += hex;
        } else if (c == '[' && (text.substr(i).starts_with("[LABEL]") || text.substr(i).starts_with("[DESCRIPTION]"))) {
            quoted += "\\x5B";
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

bool ConflictRemark::Is(std::string_view remark)
{
    return remark.starts_with(kMark);
}
