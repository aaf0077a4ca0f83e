#include "CEditorApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talkwright"));
    QApplication::setOrganizationName(QStringLiteral("Talkwright"));
    // The arguments as bytes, once Qt has taken its own: a file name need not
    // be valid in any encoding.
    return CEditorApp().InitInstance(std::vector<std::string>(argv, argv + argc));
}
