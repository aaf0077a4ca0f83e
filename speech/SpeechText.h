#pragma once

#include <string>

class DialogLine;

// The decoded form of a speech field: which generated-speech kind it is and
// the values of the kind's placeholders. Kind 0 is unique (free) speech.
struct SpeechText {
    int kind = 0;
    int n = 0;        // "%n": a number (spell, skill, or the page of Request money)
    int m = 0;        // "%m": an amount of money
    std::string l;    // "%l": a comma-separated list, always the rest of a code
    std::string s;    // "%s": a text value
    // The page chosen in a dialog's page list. No code template names it;
    // for Request money the reader and writer keep it in step with n.
    const DialogLine *g = nullptr;

    bool operator==(const SpeechText &) const = default;
};
