#pragma once

#include <string>

class DialogLine;

// The description of a PC option that the editor's option list shows: its
// speech, when it is displayed, what choosing it does, and its description.
class OptionDescription {
public:
    static std::string Build(const DialogLine &option);
};
