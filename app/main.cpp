#include "app/CEditorApp.h"
#include "Version.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (const auto status = CEditorApp::PrintInformation(std::vector<std::string>(argv, argv + argc), stdout))
        return *status;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talkwright"));
    QApplication::setApplicationVersion(QStringLiteral(TALKWRIGHT_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Talkwright"));
    // Ties the window to the installed talkwright.desktop and its icon.
    QApplication::setDesktopFileName(QStringLiteral("talkwright"));
    // The arguments as bytes, once Qt has taken its own: a file name need not
    // be valid in any encoding.
    return CEditorApp().InitInstance(std::vector<std::string>(argv, argv + argc));
}
