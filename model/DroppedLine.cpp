#include "model/DroppedLine.h"

#include <algorithm>

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
    case SharedBrace:
        return "a \"{\" inside a field, where one \"}\" closes several fields: a save writes a blank for it";
    case JumpToNoPage:
        return "a jump to a page number that no page has: a save writes the end of the dialog";
    case MoneyToNoPage:
        return "a Request money speech's page number that no page has: a save writes 0, the end of the dialog";
    }
    return "";
}

bool DroppedLine::IsWholeLine(Kind kind)
{
    return kind == NotDialogLine || kind == TooFewFields || kind == TrailingComment || kind == ReplacedComment
        || kind == OptionLabel;
}

std::string DroppedLine::Lines() const
{
    return lines > 1 ? std::to_string(line) + " to " + std::to_string(line + lines - 1) : std::to_string(line);
}

std::string DroppedLine::ToText() const
{
    return (lines > 1 ? "lines " : "line ") + Lines() + ": " + What(kind);
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

long long DroppedLine::CountLines(const std::vector<DroppedLine> &dropped)
{
    long long count = 0;
    for (const DroppedLine &run : dropped)
        count += run.lines;
    return count;
}

void DroppedLine::Add(std::vector<DroppedLine> &dropped, int line, Kind kind)
{
    // A million lines of notes take one entry, not a million.
    if (!dropped.empty() && dropped.back().kind == kind && line >= dropped.back().line
        && line <= dropped.back().line + dropped.back().lines) {
        DroppedLine &run = dropped.back();
        run.lines = std::max(run.lines, line - run.line + 1);
        return;
    }
    dropped.push_back({line, kind});
}

void DroppedLine::Sort(std::vector<DroppedLine> &dropped)
{
    std::stable_sort(dropped.begin(), dropped.end(), [](const DroppedLine &a, const DroppedLine &b) { return a.line < b.line; });
    std::vector<DroppedLine> joined;
    joined.reserve(dropped.size());
    for (const DroppedLine &run : dropped) {
        Add(joined, run.line, run.kind);
        joined.back().lines = std::max(joined.back().lines, run.line + run.lines - joined.back().line);
    }
    dropped = std::move(joined);
}
