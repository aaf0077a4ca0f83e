#include "CEditorApp.h"

#include "CMainDialog.h"
#include "QtPrompter.h"

QString CEditorApp::ParseCommandLine(const QStringList &arguments)
{
    bool switches = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (switches && argument == QLatin1String("--")) {
            switches = false;
            continue;
        }
        if (switches && argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            continue;
        return argument;
    }
    return {};
}

int CEditorApp::InitInstance(const QStringList &arguments)
{
    QtPrompter prompter;
    CMainDialog dialog(ParseCommandLine(arguments), prompter);
    if (!dialog.OnInitDialog())
        return 0;
    dialog.exec();
    return 0;
}
