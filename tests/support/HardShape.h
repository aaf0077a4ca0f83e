#pragma once

#include <random>
#include <string>

// A conversation of the shape that is hard to lay out: each page leads on
// to two new pages (page p to 2p + 1 and 2p + 2, while there are pages),
// back to a random earlier page (the same ones for every run), and out.
inline std::string HardShapeConversation(int pages)
{
    std::mt19937 random(26);
    std::string text;
    for (int p = 0; p < pages; ++p) {
        const int number = p * 20 + 1;
        text += "// [LABEL] Page" + std::to_string(p) + "\r\n{" + std::to_string(number) + "}{What now?}{What now?}{}{}{}{}\r\n";
        int line = number;
        const auto option = [&](const char *speech, int to) {
            text += '{';
            text += std::to_string(++line);
            text += "}{";
            text += speech;
            text += "}{}{1}{}{";
            if (to >= 0)
                text += std::to_string(to * 20 + 1);
            text += "}{}\r\n";
        };
        for (const int next : {2 * p + 1, 2 * p + 2}) {
            if (next < pages)
                option("Go on.", next);
        }
        if (p > 0)
            option("Back.", static_cast<int>(random() % static_cast<unsigned>(p)));
        option("E:", -1);
        text += "\r\n";
    }
    return text;
}
