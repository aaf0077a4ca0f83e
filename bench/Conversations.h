#pragma once

// The generated conversations that the benchmarks of dlgtool check and of
// the editor's folder read.
#include <string>

// Twenty pages of five options each, with checks of every kind; with
// flags, the options test and set quest flags, as a game's do.
inline std::string Conversation(int seed, bool flags = false)
{
    std::string text;
    for (int p = 0; p < 20; ++p) {
        const int number = p * 20 + 1;
        text += "// [LABEL] Page" + std::to_string(p) + "\r\n{" + std::to_string(number) + "}{What brings you here, " + std::to_string(seed)
                + "?}{What brings you here?}{}{" + std::to_string(p + 1) + "}{}{}\r\n";
        for (int o = 0; o < 5; ++o) {
            const int target = ((p + o + 1) % 20) * 20 + 1;
            static const char *const checks[] = {"1", "5", "+8", "-12", "1"};
            const std::string flag = std::to_string((seed * 7 + p * 5 + o) % 400);
            text += "{" + std::to_string(number + 1 + o) + "}{" + (o == 4 ? std::string("E:") : "Tell me more about the north road.")
                    + "}{" + (o == 2 ? "0" : "") + "}{" + checks[o] + "}{";
            if (flags && o == 0)
                text.append("!Flag(quest").append(flag).append(")");
            text += "}{" + (o == 4 ? std::string() : std::to_string(target)) + "}{";
            if (flags && o == 1)
                text.append("SetFlag(quest").append(flag).append("_done)");
            text += "}\r\n";
        }
        text += "\r\n";
    }
    return text;
}
