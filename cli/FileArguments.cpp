#include "cli/FileArguments.h"

#include <algorithm>

bool FileArguments::Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, FileArguments &parsed)
{
    return Parse(args, formats, 1, 1, parsed);
}

bool FileArguments::Parse(const std::vector<std::string> &args, const std::vector<std::string_view> &formats, size_t least, size_t most,
                          FileArguments &parsed)
{
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
        } else if (parsed.inputs.size() < most && (args[i] == "-" || args[i].empty() || args[i].front() != '-')) {
            parsed.inputs.push_back(args[i]);
        } else {
            return false;
        }
    }
    if (parsed.inputs.size() < least || std::count(parsed.inputs.begin(), parsed.inputs.end(), "-") > 1)
        return false;
    parsed.input = parsed.inputs.empty() ? std::string() : parsed.inputs.front();
    return true;
}
