#include "model/DroppedLine.h"

const char *DroppedLine::What(Kind kind)
{
    switch (kind) {
    case NotDialogLine:
        return "not a dialog line or a comment";
    case TooFewFields:
        return "braces but fewer than seven fields";
    case TextOutside:
        return "text outside the braces of the fields";
    case TextAfterSeventh:
        return "text after the seventh field";
    case FieldsPastSeventh:
        return "fields past the seventh";
    case LoneCr:
        return "lines that end in a lone CR, which reading takes for one long line";
    case AfterNul:
        return "a NUL byte, after which nothing of the file is read";
    case TrailingComment:
        return "a comment after the last dialog line";
    case ReplacedComment:
        return "a name or description that a later one above the same line replaces";
    case OptionLabel:
        return "a \"[LABEL]\" comment above a PC option, which only pages keep";
    }
    return "";
}

bool DroppedLine::IsWholeLine(Kind kind)
{
    return kind == NotDialogLine || kind == TooFewFields || kind == TrailingComment || kind == ReplacedComment
        || kind == OptionLabel;
}

std::string DroppedLine::ToText() const
{
    return "line " + std::to_string(line) + ": " + What(kind);
}

std::string DroppedLine::List(const std::vector<DroppedLine> &dropped, size_t most)
{
    std::string text;
    for (size_t i = 0; i < dropped.size() && i < most; ++i)
        text += dropped[i].ToText() + "\n";
    if (dropped.size() > most)
        text += "and " + std::to_string(dropped.size() - most) + " more\n";
    return text;
}
