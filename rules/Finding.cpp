#include "rules/Finding.h"

#include "storage/FileName.h"
#include "storage/PrintableText.h"

#include <tuple>

const char *Finding::SeverityName(Severity severity)
{
    switch (severity) {
    case Error:
        return "error";
    case Warning:
        return "warning";
    case Note:
        break;
    }
    return "note";
}

std::string Finding::ToText() const
{
    std::string text = FileName::Printable(file);
    if (line > 0)
        text += ':' + std::to_string(line);
    text += ": ";
    text += SeverityName(severity);
    text += ": ";
    // Names and speeches are the file's bytes, which may hold control characters.
    text += PrintableText::FromWindows1252(message);
    return text;
}

bool Finding::operator<(const Finding &other) const
{
    return std::tie(file, line, severity, message) < std::tie(other.file, other.line, other.severity, other.message);
}
