// New, Open, Save, the save question and closing, with scripted answers
// and real files on disk.
#include "GuiTestFiles.h"
#include "ScriptedPrompter.h"
#include "app/CEditorApp.h"
#include "app/CMainDialog.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using Answer = Prompter::Answer;

class TestFileCommands : public QObject {
    Q_OBJECT

    GuiTestFiles m_files;
    ScriptedPrompter m_prompter;
    std::unique_ptr<CMainDialog> m_dialog;

    // Starts the window as the program does, on an optional command-line file.
    bool Start(const QString &file = QString())
    {
        m_dialog = std::make_unique<CMainDialog>(GuiTestFiles::Sys(file), m_prompter);
        return m_dialog->OnInitDialog();
    }
    QString Title() const { return m_dialog->windowTitle(); }
    QStringList Asked() { return m_prompter.TakeAsked(); }
    static QString SaveQuestion(const QString &name) { return "Save changes?|Save changes to \"" + name + "\"?"; }
    static QString NotFound(const QString &path)
    {
        return "Dialog file not found|\"" + path + "\" does not exist.\n\nWould you like to create a new dialog file?";
    }
    void Change() { QTest::mouseClick(m_dialog->findChild<QPushButton *>("newPageButton"), Qt::LeftButton); }

private slots:
    void init()
    {
        m_prompter = ScriptedPrompter();
    }
    void cleanup()
    {
        QVERIFY2(m_prompter.Done(), "every scripted answer is used");
        m_dialog.reset();
    }

    void commandLineNamesTheFile()
    {
        const auto parse = [](std::vector<std::string> args) {
            args.insert(args.begin(), "talkwright");
            return CEditorApp::ParseCommandLine(args);
        };
        QCOMPARE(parse({}), std::string());
        QCOMPARE(parse({"/home/w/inn.dlg"}), std::string("/home/w/inn.dlg"));
        QCOMPARE(parse({"-style", "a.dlg", "b.dlg"}), std::string("a.dlg"));
        QCOMPARE(parse({"--", "-odd.dlg"}), std::string("-odd.dlg"));
        QCOMPARE(parse({"-x", "a.dlg"}), std::string("a.dlg"));
        QCOMPARE(parse({"Gr\xFC\xDF.dlg"}), std::string("Gr\xFC\xDF.dlg")); // not UTF-8: kept byte for byte
    }

    void newAsksOnlyAboutChanges()
    {
        QVERIFY(Start());
        QCOMPARE(Title(), QStringLiteral("*00001Untitled - Quorvel Dialog Editor"));
        const std::string first = m_dialog->Session().GetCurrentPage()->GetLabel();
        QVERIFY(first.starts_with("NewPage"));

        // A new document counts as changed: Cancel keeps everything.
        m_prompter.answers << Prompter::Cancel;
        m_dialog->NewFile();
        QCOMPARE(Asked(), QStringList{SaveQuestion("00001Untitled")});
        QCOMPARE(m_dialog->Session().GetCurrentPage()->GetLabel(), first);

        m_prompter.answers << Prompter::No;
        m_dialog->NewFile();
        QCOMPARE(Title(), QStringLiteral("*00002Untitled - Quorvel Dialog Editor"));
        QCOMPARE(std::stoi(m_dialog->Session().GetCurrentPage()->GetLabel().substr(7)), std::stoi(first.substr(7)) + 1);

        // An unchanged document is replaced without a question.
        const QString path = m_files.Write("plain.dlg", "{1}{A}{A}{}{}{}{}\n");
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(path), "plain.dlg"), CMainDialog::LoadAnswer::Read);
        Asked();
        m_dialog->NewFile();
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(m_dialog->GetDisplayName(), QStringLiteral("00003Untitled"));
    }

    void startUpOnAFile()
    {
        const QString path = m_files.Write("inn.dlg", "// [LABEL] Bar\n{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] Back\n{21}{B}{B}{}{}{}{}\n");
        QVERIFY(Start(path));
        QCOMPARE(Title(), path + " - Quorvel Dialog Editor");
        QCOMPARE(m_dialog->Session().GetCurrentPage(), m_dialog->Session().GetDocument()->GetPage(0));
        // The read report is replaced by the title before it can be seen.
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("Quorvel Dialog Editor"));
        QCOMPARE(Asked(), QStringList());
    }

    void startUpOnAMissingFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Prompter::Yes);
        QTest::newRow("no") << int(Prompter::No);
        QTest::newRow("cancel") << int(Prompter::Cancel);
    }
    void startUpOnAMissingFile()
    {
        QFETCH(int, answer);
        const QString path = m_files.Path(QLatin1String(QTest::currentDataTag()) + ".dlg");
        m_prompter.answers << Answer(answer);
        const bool started = Start(path);
        QCOMPARE(started, answer != Prompter::Cancel); // Cancel ends the program
        switch (answer) {
        case Prompter::Yes:
            QCOMPARE(Asked(), QStringList{NotFound(path)});
            QCOMPARE(Title(), "*" + path + " - Quorvel Dialog Editor");
            m_prompter.answers << Prompter::Yes; // its page has no speech yet: save anyway
            QVERIFY(m_dialog->SaveFile());
            QVERIFY(!Asked().contains("Save As"));
            QVERIFY(GuiTestFiles::Read(path).startsWith("// [LABEL] NewPage"));
            break;
        case Prompter::No:
            // The Open dialog follows; cancelling it leaves an empty window.
            QCOMPARE(Asked(), (QStringList{NotFound(path), "Open"}));
            QCOMPARE(m_dialog->Session().GetCurrentPage(), nullptr);
            QCOMPARE(m_dialog->Session().GetDocument()->GetPageCount(), 0);
            break;
        default:
            QCOMPARE(Asked(), QStringList{NotFound(path)});
        }
    }

    void openOffersToCreateAMissingFile()
    {
        QVERIFY(Start());
        const QString missing = m_files.Path("fresh.dlg");
        const QString existing = m_files.Write("there.dlg", "{1}{A}{A}{}{}{}{}\n");
        m_prompter.answers << Prompter::No << Prompter::No << Prompter::Yes;
        m_prompter.fileNames << missing << existing;
        m_dialog->OpenFile(); // No to saving, No to creating, then the next name opens
        QCOMPARE(Asked(), (QStringList{SaveQuestion("00001Untitled"), "Open", NotFound("fresh.dlg"), "Open"}));
        QCOMPARE(Title(), QStringLiteral("there.dlg - Quorvel Dialog Editor"));
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("there.dlg read okay (1 dialog pages read)"));

        m_prompter.fileNames << missing;
        m_dialog->OpenFile();
        QCOMPARE(Asked(), (QStringList{"Open", NotFound("fresh.dlg")}));
        QCOMPARE(Title(), QStringLiteral("*fresh.dlg - Quorvel Dialog Editor"));
        QCOMPARE(m_dialog->Session().GetDocument()->GetPageCount(), 1);

        // Cancel leaves an empty document that Save does not write under the failed name.
        m_prompter.answers << Prompter::No << Prompter::Cancel;
        m_prompter.fileNames << missing << QString();
        m_dialog->OpenFile();
        QCOMPARE(m_dialog->Session().GetDocument()->GetPageCount(), 0);
        QVERIFY(!m_dialog->SaveFile()); // Save As, cancelled
        QVERIFY(!QFile::exists(missing));
        Asked();
    }

    void aRejectedFileIsNeverOfferedForCreation()
    {
        const QString path = m_files.Write("bad.dlg", "// x\n{1}{Hi}{}{}{}{}{}\n");
        const QByteArray before = GuiTestFiles::Read(path);
        const QString rejected = "Dialog file cannot be read|\"" + path
            + "\" cannot be read: its first dialog line, line 2, is a PC option.\n\nWould you like to open another dialog file?";

        m_prompter.answers << Prompter::Cancel;
        QVERIFY(!Start(path));
        QCOMPARE(Asked(), QStringList{rejected});

        // Yes looks for another file; the empty document left has no name, so
        // a page added and saved cannot overwrite the rejected file.
        m_prompter.answers << Prompter::Yes;
        QVERIFY(Start(path));
        QCOMPARE(Asked(), (QStringList{rejected, "Open"}));
        Change();
        QVERIFY(!m_dialog->SaveFile()); // asks for a name, and the test gives none
        QCOMPARE(GuiTestFiles::Read(path), before);
        Asked();

        // A folder is not a file to create either.
        m_prompter.answers << Prompter::Cancel;
        QVERIFY(!Start(m_files.Path("")));
        QVERIFY(Asked().constFirst().contains("cannot be read: Is a directory."));
    }

    void aFileWithoutPages()
    {
        const QString path = m_files.Write("empty.dlg", "\r\n");
        QVERIFY(Start());
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(path), "empty.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("empty.dlg read okay (0 dialog pages read)"));
        QCOMPARE(m_dialog->Session().GetCurrentPage(), nullptr);
        auto *list = m_dialog->findChild<QListWidget *>("optionList");
        QCOMPARE(list->count(), 0);
        // Commands that need an option say so; none touches a page.
        for (const char *name : {"goToResultButton", "deleteOptionButton", "moveUpButton", "moveDownButton"})
            QVERIFY(!m_dialog->findChild<QPushButton *>(name)->isEnabled());
        m_dialog->OnGoToResultPage();
        m_dialog->OnDeleteOption();
        m_dialog->OnMoveOptionUp();
        m_dialog->OnMoveOptionDown();
        QCOMPARE(Asked().size(), 4);
        Change();
        QVERIFY(m_dialog->Session().GetCurrentPage());
        QCOMPARE(m_dialog->Session().GetDocument()->GetPageCount(), 1);
    }

    void savesNamedAndUntitledDocuments()
    {
        QVERIFY(Start());
        m_dialog->Session().GetCurrentPage()->SetSpeech("Hello");
        m_dialog->Session().GetCurrentPage()->SetFemaleSpeech("Hello");
        const QString chosen = m_files.Path("chosen.dlg");
        m_prompter.fileNames << chosen;
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList{"Save As"});
        QCOMPARE(m_prompter.proposed, QStringList{"00001Untitled"});
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("chosen.dlg saved"));
        QVERIFY(!m_dialog->Session().GetDocument()->IsModified());
        QCOMPARE(Title(), QStringLiteral("chosen.dlg - Quorvel Dialog Editor")); // the saved state, under the new name

        // Named now: the next save asks nothing, and what it wrote reads back.
        Change();
        m_dialog->Session().GetCurrentPage()->SetSpeech("Bye");
        m_dialog->Session().GetCurrentPage()->SetFemaleSpeech("Bye!");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList());
        DialogFile back;
        QVERIFY(back.Read(chosen.toStdString()));
        QCOMPARE(back.GetPageCount(), 2);
        QCOMPARE(back.GetPage(1)->GetFemaleSpeech(), std::string("Bye!"));
        QVERIFY(!back.GetPage(1)->IsSameSpeechForBoth());
    }

    void aFailedSaveIsReported()
    {
        QVERIFY(Start());
        m_dialog->Session().GetCurrentPage()->SetFemaleSpeech("Hi");
        m_files.Write("file", "not a folder");
        m_prompter.fileNames << m_files.Path("file") + "/x.dlg";
        m_prompter.answers << Prompter::No; // not under another name
        QVERIFY(!m_dialog->SaveFile());
        QCOMPARE(Asked(), (QStringList{"Save As", "talkwright|\"x.dlg\" could not be saved: Not a directory.\n\n"
                                                  "The file on disk has not been changed. Save it under another name?"}));
        QVERIFY(m_dialog->Session().GetDocument()->IsModified());
        // Closing then asks again, and a second failure keeps the window open.
        m_prompter.answers << Prompter::Yes << Prompter::No;
        QVERIFY(!m_dialog->CanClose());
        QVERIFY(m_dialog->Session().GetDocument());
        Asked();
    }

    void aFailedSaveKeepsTheOldFile()
    {
        // Root passes every permission check; a file-size limit stops it all the same.
        QString text = "{1}{A}{A}{}{}{}{}\n";
        for (int i = 0; i < 400; ++i)
            text += "{2}{Tell me about the road, please.}{}{1}{}{}{}\n";
        const QString path = m_files.Write("big.dlg", text.toLatin1());
        const QByteArray before = GuiTestFiles::Read(path);
        QVERIFY(Start(path));
        m_dialog->Session().GetCurrentPage()->SetResults("changed");

        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        m_prompter.answers << Prompter::No; // not under another name
        const bool saved = m_dialog->SaveFile();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved);
        QVERIFY(Asked().constFirst().contains("could not be saved: File too large."));
        QCOMPARE(GuiTestFiles::Read(path), before);
        QCOMPARE(QDir(m_files.Path("")).entryList({".big.dlg*"}, QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(m_dialog->Session().GetDocument()->IsModified());
    }

    void saveAsksBeforeOverwritingAChangedFile()
    {
        const QString path = m_files.Write("shared.dlg", "{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        m_dialog->Session().GetCurrentPage()->SetResults("mine");
        QTest::qWait(20);
        m_files.Write("shared.dlg", "{1}{Theirs}{Theirs}{}{}{}{}\n");
        m_prompter.answers << Prompter::No;
        QVERIFY(!m_dialog->SaveFile());
        QVERIFY(Asked().constFirst().startsWith("File changed on disk|"));
        QCOMPARE(GuiTestFiles::Read(path), QByteArray("{1}{Theirs}{Theirs}{}{}{}{}\n"));
        m_prompter.answers << Prompter::Yes;
        QVERIFY(m_dialog->SaveFile());
        QVERIFY(GuiTestFiles::Read(path).contains("{mine}"));
        // After our own save, the next one asks nothing.
        m_dialog->Session().GetCurrentPage()->SetResults("again");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked().size(), 1);
    }

    // What the editor cannot keep is named on loading, and the first save
    // over the file asks first, "No" being the default.
    void partlyUnderstoodFiles()
    {
        const QByteArray bytes = "Notes for the writer\n{1}{A}{A}{}{}{}{}\n{2}{B}{}{1}{}{}{} TODO\n";
        const QString path = m_files.Write("notes.dlg", bytes);
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList()); // not before the page is shown
        m_dialog->show();
        QTRY_VERIFY(!m_prompter.asked.isEmpty());
        QCOMPARE(Asked(), QStringList{"talkwright|\"" + path + "\" holds 2 lines or parts of lines that the editor cannot keep: "
                                      "saving the file would drop them.\n\nline 1: not a dialog line or a comment\n"
                                      "line 3: text after the seventh field\n\nSave asks before it drops them."});
        Change();
        m_prompter.answers << Prompter::No;
        QVERIFY(!m_dialog->SaveFile());
        QVERIFY(Asked().constFirst().startsWith("Lines would be dropped|Saving \"" + path + "\" drops what the editor could not "
                                                "read in it:\n\nline 1: not a dialog line or a comment\n"));
        QCOMPARE(GuiTestFiles::Read(path), bytes);
        m_prompter.answers << Prompter::Yes << Prompter::Yes; // drop them; the new page has no speech yet
        QVERIFY(m_dialog->SaveFile());
        Asked();
        Change();
        m_prompter.answers << Prompter::Yes; // the pages without speech, again; the drops are gone
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked().size(), 1);
    }

    // A page that would not read back as a page is named with its fate, and
    // the default answer goes to it instead of saving.
    void pagesThatWouldBeLost()
    {
        const QString path = m_files.Write("two.dlg", "// [LABEL] A\n{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        Change();
        const DialogLine *added = m_dialog->Session().GetCurrentPage();
        m_dialog->Session().SetCurrentPage(m_dialog->Session().GetDocument()->GetPage(0));
        m_dialog->RefreshPage();
        m_prompter.pressEnter = true;
        QVERIFY(!m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList{"Pages would be lost|This page has no speech to female PCs, or one that starts with a digit, "
                                      "so it would not be read back as a page:\n\nPage \"" + QString::fromStdString(added->GetLabel())
                                      + "\" would be read back as an option of page \"A\".\n\nSave anyway, or go to page \""
                                      + QString::fromStdString(added->GetLabel()) + "\" to mend it?"});
        QCOMPARE(m_dialog->Session().GetCurrentPage(), added);
        QCOMPARE(GuiTestFiles::Read(path), QByteArray("// [LABEL] A\n{1}{A}{A}{}{}{}{}\n"));
    }

    // Enter through every question, from any file, changes and creates no file.
    void enterThroughEveryQuestion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: no such file
        QByteArray noise(20000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << "noise.dlg" << noise;
        QTest::newRow("dropped lines") << "notes.dlg" << QByteArray("TODO\n{1}{A}{A}{}{}{}{}\nmore\n");
        QTest::newRow("lone CR line ends") << "mac.dlg" << QByteArray("{1}{A}{A}{}{}{}{}\r{2}{B}{}{1}{}{}{}\r");
        QTest::newRow("a name that is not UTF-8") << "Gr\xFC\xDF.dlg" << QByteArray("{1}{A}{A}{}{}{}{}\n// the end\n");
        QTest::newRow("a missing file named so") << "Gr\xFC\xDF.dlg" << QByteArray();
    }
    void enterThroughEveryQuestion()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const GuiTestFiles folder; // of its own, to count what is in it
        const std::string path = GuiTestFiles::Sys(folder.Path("")) + "/" + name.toLatin1().toStdString();
        if (!bytes.isEmpty()) {
            FILE *file = std::fopen(path.c_str(), "wb");
            QVERIFY(file);
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
            std::fclose(file);
        }
        m_prompter.pressEnter = true;
        m_dialog = std::make_unique<CMainDialog>(path, m_prompter);
        if (m_dialog->OnInitDialog()) {
            m_dialog->OnOK();
            Change();
            QTest::keyClick(m_dialog.get(), Qt::Key_Return);
            m_dialog->OnCancel();
        }
        const QStringList files = QDir(folder.Path("")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), bytes.isEmpty() ? 0 : 1);
        if (!bytes.isEmpty()) {
            FILE *file = std::fopen(path.c_str(), "rb");
            QVERIFY2(file, "the file is found under its own bytes");
            QByteArray after(bytes.size() + 1, '\0');
            after.resize(qsizetype(std::fread(after.data(), 1, size_t(after.size()), file)));
            std::fclose(file);
            QCOMPARE(after, bytes);
            std::remove(path.c_str());
        }
        Asked();
    }

    // A command-line name that is not UTF-8 opens the file it names, and a
    // new file is created under exactly those bytes.
    void namesThatAreNotUtf8()
    {
        const std::string path = GuiTestFiles::Sys(m_files.Path("")) + "/Gr\xFC\xDF.dlg";
        m_prompter.answers << Prompter::Yes;
        m_dialog = std::make_unique<CMainDialog>(path, m_prompter);
        QVERIFY(m_dialog->OnInitDialog());
        QVERIFY(Asked().constFirst().startsWith("Dialog file not found|"));
        m_dialog->Session().GetCurrentPage()->SetFemaleSpeech("Hi");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(::access(path.c_str(), F_OK), 0);

        m_dialog = std::make_unique<CMainDialog>(path, m_prompter);
        QVERIFY(m_dialog->OnInitDialog()); // read, not offered for creation
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(m_dialog->Session().GetDocument()->GetPage(0)->GetFemaleSpeech(), std::string("Hi"));
        std::remove(path.c_str());
    }

    // The File menu lists the files opened and saved, newest first; one
    // opens again from there.
    void recentFiles()
    {
        QSettings().remove("recentFiles");
        const QString a = m_files.Write("a.dlg", "{1}{A}{A}{}{}{}{}\n");
        const QString b = m_files.Write("b.dlg", "{1}{B}{B}{}{}{}{}\n");
        QVERIFY(Start(a));
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(b), "b.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(a), "a.dlg"), CMainDialog::LoadAnswer::Read);
        auto *menu = m_dialog->findChild<QMenu *>("recentMenu");
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), "&1 " + a);
        menu->actions()[1]->trigger();
        QCOMPARE(Title(), QStringLiteral("b.dlg - Quorvel Dialog Editor"));
    }

    void closing()
    {
        const QString path = m_files.Write("c.dlg", "{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        QTest::mouseClick(m_dialog->findChild<QPushButton *>("exitButton"), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(m_dialog->Session().GetDocument(), nullptr);

        // A changed file asks once, through the close box as through Escape;
        // Cancel keeps the window.
        QVERIFY(Start(path));
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        Change();
        m_prompter.answers << Prompter::Cancel;
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible());
        m_prompter.answers << Prompter::No;
        m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(Asked(), (QStringList{SaveQuestion(path), SaveQuestion(path)}));
        QCOMPARE(GuiTestFiles::Read(path), QByteArray("{1}{A}{A}{}{}{}{}\n"));
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
