#include "CEditorApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talkwright"));
    return CEditorApp().InitInstance(QApplication::arguments());
}
