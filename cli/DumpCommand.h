#pragma once

#include "cli/Command.h"

#include <functional>

class DialogFile;

// Prints a document as read, without renumbering, as one JSON object.
class DumpCommand : public Command {
public:
    std::string_view Name() const override { return "dump"; }
    std::string_view Usage() const override { return "dump FILE"; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

    // The JSON object that dump prints for file, read from the file named name.
    static std::string ToJson(const DialogFile &file, const std::string &name);
    // The same text, handed to sink in pieces as it is made.
    static void WriteJson(const DialogFile &file, const std::string &name, const std::function<void(std::string_view)> &sink);
};
