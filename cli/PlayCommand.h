#pragma once

#include "cli/Command.h"

class ConversationPlay;

// Plays a conversation as one PC, from the first page or a named one, by
// the numbers of the options chosen, so that a team can keep the paths
// that matter as checks.
class PlayCommand : public Command {
public:
    std::string_view Name() const override { return "play"; }
    std::string_view Usage() const override
    {
        return "play FILE --gender male|female --intelligence N [--start PAGE] [--choose I,J,...] [--fail-conditions LINE,...] [--format text|json]";
    }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

    static std::string ToJson(const ConversationPlay &play);
    static std::string ToText(const ConversationPlay &play);
};
