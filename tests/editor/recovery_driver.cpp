// The editor as the recovery test kills it: the real main window, offscreen,
// on FILE, with the scripted edits on a timer and the file saved once. Each
// step is noted in REPORT with the time (CLOCK_MONOTONIC, in nanoseconds),
// as "TIME ready 0", "TIME edit N", "TIME saved N", or "TIME asked 0" for a
// question that the script did not expect.
//   recovery_driver ORGANIZATION APPLICATION FILE REPORT
#include "ScriptedEdits.h"
#include "app/CMainDialog.h"
#include "session/EditingSession.h"
#include "ui/Prompter.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_report = -1;

void Note(const char *what, int n)
{
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
    char line[80];
    const int size = std::snprintf(line, sizeof line, "%lld %s %d\n", static_cast<long long>(now.count()), what, n);
    if (write(g_report, line, static_cast<size_t>(size)) != size)
        _exit(3);
}

// Notes every question and takes its default.
class NotingPrompter : public Prompter {
public:
    Answer Ask(QWidget *, const QString &, const QString &, Buttons, Icon, Answer defaultAnswer, const QStringList &) override
    {
        Note("asked", 0);
        return defaultAnswer;
    }
    void Tell(QWidget *, const QString &, const QString &, Icon) override { Note("asked", 0); }
    QString GetOpenFileName(QWidget *, const QString &) override { return Note("asked", 0), QString(); }
    QString GetSaveFileName(QWidget *, const QString &) override { return Note("asked", 0), QString(); }
    QString GetCompareFileName(QWidget *, const QString &) override { return Note("asked", 0), QString(); }
    QString GetExportFileName(QWidget *, const QString &, const QString &, const QString &) override { return Note("asked", 0), QString(); }
    QString GetFolderName(QWidget *, const QString &) override { return Note("asked", 0), QString(); }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    if (argc != 5)
        return 2;
    alarm(60); // an editor that the test lost ends all the same
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QString::fromLocal8Bit(argv[1]));
    QCoreApplication::setApplicationName(QString::fromLocal8Bit(argv[2]));
    g_report = open(argv[4], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (g_report < 0)
        return 2;
    NotingPrompter prompter;
    EditingSession session;
    CMainDialog window(session, argv[3], prompter);
    if (!window.OnInitDialog())
        return 1;
    Note("ready", 0);
    int n = 0;
    QTimer edits;
    QObject::connect(&edits, &QTimer::timeout, [&] {
        ApplyScriptedEdit(window.Session(), ++n);
        Note("edit", n);
        if (n == kScriptedSave && window.SaveFile())
            Note("saved", n);
    });
    edits.start(kScriptedEditPeriod);
    return QApplication::exec();
}
