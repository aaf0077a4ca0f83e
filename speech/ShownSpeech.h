#pragma once

#include <string>
#include <string_view>

// A speech as the game puts it before the player: unique speech as its
// text, generated speech as its kind's name and parameters in brackets,
// "[Rumour: mill, ferry; 20 gold]" for "R:20,mill,ferry".
class ShownSpeech {
public:
    static std::string Of(std::string_view stored);
    // Generated speech as its kind's name alone, "[Rumour]"; unique speech
    // as its text.
    static std::string Kind(std::string_view stored);
};
