#pragma once

#include <string>
#include <vector>

// The application: reads the command line and runs the main window; when
// the main window's run ends, the program ends.
class CEditorApp {
public:
    // The file to open: the first argument that is not a switch, byte for
    // byte as the system gave it. Only "-" starts a switch (a path may begin
    // with "/"), and "--" ends the switches.
    static std::string ParseCommandLine(const std::vector<std::string> &arguments);

    int InitInstance(const std::vector<std::string> &arguments);
};
