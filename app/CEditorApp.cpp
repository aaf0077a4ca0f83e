#include "app/CEditorApp.h"

#include "app/CMainDialog.h"
#include "session/EditingSession.h"
#include "ui/QtPrompter.h"
#include "Version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cerrno>
#include <cstring>

namespace {

const QCommandLineOption HelpOption(QStringLiteral("help"));
const QCommandLineOption VersionOption(QStringLiteral("version"));

// Reads the arguments into parser. Each byte becomes the character of the
// same value, so the file name comes back byte for byte even when it is not
// valid in any encoding; only ASCII tells a switch from a file.
void Parse(QCommandLineParser &parser, const std::vector<std::string> &arguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(HelpOption);
    parser.addOption(VersionOption);
    QStringList list;
    for (const std::string &argument : arguments)
        list << QString::fromLatin1(argument.data(), static_cast<qsizetype>(argument.size()));
    // An unknown switch fails the parse but is skipped like any other.
    parser.parse(list);
}

} // namespace

std::string CEditorApp::ParseCommandLine(const std::vector<std::string> &arguments)
{
    QCommandLineParser parser;
    Parse(parser, arguments);
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? std::string() : files.first().toLatin1().toStdString();
}

std::optional<int> CEditorApp::PrintInformation(const std::vector<std::string> &arguments, std::FILE *out)
{
    QCommandLineParser parser;
    Parse(parser, arguments);
    if (parser.isSet(HelpOption))
        std::fputs("usage: talkwright [FILE]\n"
                   "       talkwright --help | --version\n"
                   "Opens FILE, a Quorvel conversation (.dlg), in the editor; without FILE, a new one.\n",
                   out);
    else if (parser.isSet(VersionOption))
        std::fputs("talkwright " TALKWRIGHT_VERSION "\n", out);
    else
        return std::nullopt;
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out))
        return 0;
    std::fprintf(stderr, "talkwright: cannot write standard output: %s\n", std::strerror(errno != 0 ? errno : EIO));
    return 1;
}

int CEditorApp::InitInstance(const std::vector<std::string> &arguments)
{
    // The session outlives the window that shows it.
    QtPrompter prompter;
    EditingSession session;
    CMainDialog dialog(session, ParseCommandLine(arguments), prompter);
    if (!dialog.OnInitDialog())
        return 0;
    dialog.show();
    return QApplication::exec();
}
