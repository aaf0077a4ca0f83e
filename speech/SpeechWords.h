#pragma once

#include <string_view>

// How many words a text holds: runs of characters between blanks, tabs and
// line ends.
class SpeechWords {
public:
    static long long Count(std::string_view text);
};
