#pragma once

#include <string>
#include <string_view>

// A unified diff of two texts by lines, with three lines of context, in the
// form diff -u and patch use.
class UnifiedDiff {
public:
    static std::string Make(std::string_view before, std::string_view after, const std::string &fromName, const std::string &toName);
};
