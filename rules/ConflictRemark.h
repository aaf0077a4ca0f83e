#pragma once

#include <string>
#include <string_view>

// The remark a merge writes above a line where both sides changed one
// field: "CONFLICT: theirs: speech: "Well met."". The file keeps ours and
// still reads; dlgtool check reports every such remark as an error until
// the writer resolves it and deletes the remark.
class ConflictRemark {
public:
    static constexpr std::string_view kMark = "CONFLICT: theirs: ";

    // The remark for what theirs holds, or did: "removed this option".
    static std::string Make(std::string_view what);
    // A text quoted, so that the remark reads back as one remark with the
    // text in it: a quote, a backslash and control characters escaped as in
    // C, and the "[" of a comment keyword as "\x5B".
    static std::string Quoted(std::string_view text);
    static bool Is(std::string_view remark);
    // What a conflict remark says theirs holds: the text after the mark.
    static std::string_view What(std::string_view remark) { return remark.substr(kMark.size()); }
};
