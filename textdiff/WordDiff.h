#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words that differ between two versions of a text, found by the dtl
// library (the shortest edit over words, blanks and punctuation marks).
class WordDiff {
public:
    struct Piece {
        enum Kind { Same, Removed, Added };
        Kind kind;
        std::string text;
    };

    // The two texts as one run of pieces: what both hold, and between them
    // what before held (removed) and what after holds instead (added). A
    // blank between two changed words goes with them.
    static std::vector<Piece> Compare(std::string_view before, std::string_view after);
    // The pieces as git's plain word diff shows them: "[-old-]{+new+}".
    static std::string Marked(const std::vector<Piece> &pieces);
};
