#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The application: reads the command line and runs the main window; when
// the main window's run ends, the program ends.
class CEditorApp {
public:
    // The file to open: the first argument that is not a switch, byte for
    // byte as the system gave it. Only "-" starts a switch (a path may begin
    // with "/"), and "--" ends the switches; switches the editor does not
    // know are ignored.
    static std::string ParseCommandLine(const std::vector<std::string> &arguments);

    // --help and --version: prints the usage or the version on out and
    // returns the exit status; nothing when the command line asks for
    // neither. Needs no display, so it runs before the window system starts.
    static std::optional<int> PrintInformation(const std::vector<std::string> &arguments, std::FILE *out);

    int InitInstance(const std::vector<std::string> &arguments);
};
