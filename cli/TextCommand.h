#pragma once

#include "cli/Command.h"

// A switch that prints a fixed text and succeeds: --help, --version.
class TextCommand : public Command {
public:
    TextCommand(std::string name, std::string text);

    std::string_view Name() const override { return m_name; }
    std::string_view Usage() const override { return m_name; }
    int Execute(const std::vector<std::string> &args, std::FILE *out, std::FILE *err) override;

private:
    std::string m_name;
    std::string m_text;
};
