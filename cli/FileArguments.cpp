#include "cli/FileArguments.h"

#include <algorithm>

bool FileArguments::Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, FileArguments &parsed)
{
    bool haveInput = false;
    bool haveOutput = false;
    bool haveFormat = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool valued = i + 1 < args.size();
        if (args[i] == "-o" && valued && !haveOutput) {
            parsed.output = args[++i];
            haveOutput = true;
        } else if (args[i] == "--format" && valued && !haveFormat && std::find(formats.begin(), formats.end(), args[i + 1]) != formats.end()) {
            parsed.format = args[++i];
            haveFormat = true;
        } else if (!haveInput && (args[i] == "-" || args[i].empty() || args[i].front() != '-')) {
            parsed.input = args[i];
            haveInput = true;
        } else {
            return false;
        }
    }
    return haveInput;
}
