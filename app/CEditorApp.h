#pragma once

#include <QStringList>

// The application: reads the command line and runs the main window; when
// the main window's run ends, the program ends.
class CEditorApp {
public:
    // The file to open: the first argument that is not a switch. Only "-"
    // starts a switch (a path may begin with "/"), and "--" ends the switches.
    static QString ParseCommandLine(const QStringList &arguments);

    int InitInstance(const QStringList &arguments);
};
