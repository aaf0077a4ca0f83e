// Renders the main window, opened on a file, to a PNG without a display:
//   QT_QPA_PLATFORM=offscreen talkwright-screenshot OUT.png [FILE] [WIDTHxHEIGHT]
#include "app/CMainDialog.h"
#include "app/QtPrompter.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        fputs("usage: talkwright-screenshot OUT.png [FILE] [WIDTHxHEIGHT]\n", stderr);
        return 2;
    }
    QtPrompter prompter;
    CMainDialog dialog(args.size() > 2 ? args[2] : QString(), prompter);
    if (!dialog.OnInitDialog())
        return 1;
    if (args.size() > 3) {
        const QStringList size = args[3].split(QLatin1Char('x'));
        dialog.resize(size.value(0).toInt(), size.value(1).toInt());
    }
    dialog.show();
    // Let the status line finish its first message.
    QTimer::singleShot(1300, &application, &QApplication::quit);
    application.exec();
    return dialog.grab().save(args[1]) ? 0 : 1;
}
