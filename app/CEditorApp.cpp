#include "CEditorApp.h"

#include "CMainDialog.h"
#include "QtPrompter.h"

#include <QApplication>

std::string CEditorApp::ParseCommandLine(const std::vector<std::string> &arguments)
{
    bool switches = true;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (switches && argument == "--") {
            switches = false;
            continue;
        }
        if (switches && argument.size() > 1 && argument.front() == '-')
            continue;
        return argument;
    }
    return {};
}

int CEditorApp::InitInstance(const std::vector<std::string> &arguments)
{
    QtPrompter prompter;
    CMainDialog dialog(ParseCommandLine(arguments), prompter);
    if (!dialog.OnInitDialog())
        return 0;
    dialog.show();
    return QApplication::exec();
}
