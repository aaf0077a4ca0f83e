#include "textdiff/WordDiff.h"

#include <dtl/dtl.hpp>

namespace {

bool IsWordByte(unsigned char c)
{
    // Windows-1252 letters lie above 0x7F.
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80 || c == '\'';
}

bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\t';
}

// Words, runs of blanks, and each other character alone.
std::vector<std::string> Tokens(std::string_view text)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t end = i + 1;
        if (IsWordByte(c) || IsBlank(c)) {
            const bool word = IsWordByte(c);
            while (end < text.size() && (word ? IsWordByte(static_cast<unsigned char>(text[end])) : IsBlank(static_cast<unsigned char>(text[end]))))
                ++end;
        }
        tokens.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return tokens;
}

bool IsBlankText(const std::string &text)
{
    return !text.empty() && text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

std::vector<WordDiff::Piece> WordDiff::Compare(std::string_view before, std::string_view after)
{
    const std::vector<std::string> a = Tokens(before);
    const std::vector<std::string> b = Tokens(after);
    dtl::Diff<std::string, std::vector<std::string>> diff(a, b);
    diff.compose();

    // The edit as tokens, each same, removed or added.
    std::vector<std::pair<Piece::Kind, std::string>> edits;
    for (const auto &[token, info] : diff.getSes().getSequence())
        edits.emplace_back(info.type == dtl::SES_COMMON ? Piece::Same : info.type == dtl::SES_DELETE ? Piece::Removed : Piece::Added, token);

    // Runs of changes, each removed text before its added text; a blank
    // alone between two runs joins them.
    std::vector<Piece> pieces;
    std::string removed;
    std::string added;
    std::string blanks; // blanks that both changed texts end with go after them
    const auto flushChange = [&] {
        while (!removed.empty() && !added.empty() && removed.back() == added.back() && IsBlank(static_cast<unsigned char>(removed.back()))) {
            blanks.insert(blanks.begin(), removed.back());
            removed.pop_back();
            added.pop_back();
        }
        if (!removed.empty())
            pieces.push_back({Piece::Removed, std::move(removed)});
        if (!added.empty())
            pieces.push_back({Piece::Added, std::move(added)});
        if (!blanks.empty())
            pieces.push_back({Piece::Same, std::move(blanks)});
        removed.clear();
        added.clear();
        blanks.clear();
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        const auto &[kind, text] = edits[i];
        if (kind == Piece::Same) {
            const bool between = (!removed.empty() || !added.empty()) && i + 1 < edits.size() && edits[i + 1].first != Piece::Same;
            if (between && IsBlankText(text)) {
                removed += text;
                added += text;
                continue;
            }
            flushChange();
            if (!pieces.empty() && pieces.back().kind == Piece::Same)
                pieces.back().text += text;
            else
                pieces.push_back({Piece::Same, text});
        } else {
            (kind == Piece::Removed ? removed : added) += text;
        }
    }
    flushChange();
    return pieces;
}

std::string WordDiff::Marked(const std::vector<Piece> &pieces)
{
    std::string text;
    for (const Piece &piece : pieces) {
        if (piece.kind == Piece::Same)
            text += piece.text;
        else if (piece.kind == Piece::Removed)
            text += "[-" + piece.text + "-]";
        else
            text += "{+" + piece.text + "+}";
    }
    return text;
}
