#include "cli/PathArguments.h"

bool PathArguments::Parse(const std::vector<std::string> &args, PathArguments &parsed)
{
    parsed = {};
    bool formatGiven = false; // a second --format is a usage error
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format" && i + 1 < args.size() && (args[i + 1] == "json" || args[i + 1] == "text") && !formatGiven) {
            parsed.json = args[++i] == "json";
            formatGiven = true;
        }
        else if (args[i].size() > 1 && args[i].front() == '-')
            return false;
        else
            parsed.paths.push_back(args[i]);
    }
    return !parsed.paths.empty();
}
