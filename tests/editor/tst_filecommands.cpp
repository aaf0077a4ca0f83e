// New, Open, Save, the save question and closing, with scripted answers
// and real files on disk.
#include "GuiTestFiles.h"
#include "app/CEditorApp.h"

#include <QMenu>
#include <QSettings>

using Answer = Prompter::Answer;

namespace {

QString SaveQuestion(const QString &name) { return "Save changes?|Save changes to \"" + name + "\"?"; }
QString NotFound(const QString &path)
{
    return "Dialog file not found|\"" + path + "\" does not exist.\n\nWould you like to create a new dialog file?";
}

} // namespace

class TestFileCommands : public GuiTest {
    Q_OBJECT

    void Change() { Press("newPageButton"); }

private slots:
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
        const std::string first = Page()->GetLabel();
        QVERIFY(first.starts_with("NewPage"));

        // A new document counts as changed: Cancel keeps everything.
        m_prompter.answers << Prompter::Cancel;
        m_dialog->NewFile();
        QCOMPARE(Asked(), QStringList{SaveQuestion("00001Untitled")});
        QCOMPARE(Page()->GetLabel(), first);

        m_prompter.answers << Prompter::No;
        m_dialog->NewFile();
        QCOMPARE(Title(), QStringLiteral("*00002Untitled - Quorvel Dialog Editor"));
        QCOMPARE(std::stoi(Page()->GetLabel().substr(7)), std::stoi(first.substr(7)) + 1);

        // An unchanged document is replaced without a question.
        QCOMPARE(m_dialog->LoadFile(Sys(Write("plain.dlg", "{1}{A}{A}{}{}{}{}\n")), "plain.dlg"), CMainDialog::LoadAnswer::Read);
        Asked();
        m_dialog->NewFile();
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(m_dialog->GetDisplayName(), QStringLiteral("00003Untitled"));
    }

    void startUpOnAMissingFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Prompter::Yes);
        QTest::newRow("no") << int(Prompter::No);
        QTest::newRow("cancel") << int(Prompter::Cancel);
    }
    // Named on the command line, even by a name that is not UTF-8.
    void startUpOnAMissingFile()
    {
        QFETCH(int, answer);
        const std::string path = m_files.Path(QTest::currentDataTag() + std::string("-Gr\xFC\xDF.dlg"));
        const QString shown = FromSys(path);
        m_prompter.answers << Answer(answer);
        QCOMPARE(Start(path), answer != Prompter::Cancel); // Cancel ends the program
        // No: the Open dialog follows; cancelling it leaves an empty window.
        QCOMPARE(Asked(), answer == Prompter::No ? (QStringList{NotFound(shown), "Open"}) : QStringList{NotFound(shown)});
        if (answer == Prompter::No)
            QVERIFY(!Page() && Doc()->GetPageCount() == 0);
        if (answer != Prompter::Yes)
            return;
        // Yes: created under exactly those bytes, then read without a question.
        QCOMPARE(Title(), "*" + shown + " - Quorvel Dialog Editor");
        Page()->SetFemaleSpeech("Hi");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(TestFiles::ReadBytes(path).substr(0, 18), std::string("// [LABEL] NewPage"));
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(Title(), shown + " - Quorvel Dialog Editor");
        QCOMPARE(Page()->GetFemaleSpeech(), std::string("Hi"));
        // The read report is replaced by the title before it can be seen.
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("Quorvel Dialog Editor"));
    }

    void openOffersToCreateAMissingFile()
    {
        QVERIFY(Start());
        const QString missing = Path("fresh.dlg");
        m_prompter.answers << Prompter::No << Prompter::No << Prompter::Yes;
        m_prompter.fileNames << missing << Write("there.dlg", "{1}{A}{A}{}{}{}{}\n");
        m_dialog->OpenFile(); // No to saving, No to creating, then the next name opens
        QCOMPARE(Asked(), (QStringList{SaveQuestion("00001Untitled"), "Open", NotFound("fresh.dlg"), "Open"}));
        QCOMPARE(Title(), QStringLiteral("there.dlg - Quorvel Dialog Editor"));
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("there.dlg read okay (1 dialog pages read)"));

        m_prompter.fileNames << missing;
        m_dialog->OpenFile();
        QCOMPARE(Asked(), (QStringList{"Open", NotFound("fresh.dlg")}));
        QCOMPARE(Title(), QStringLiteral("*fresh.dlg - Quorvel Dialog Editor"));
        QCOMPARE(Doc()->GetPageCount(), 1);

        // Cancel leaves an empty document that Save does not write under the failed name.
        m_prompter.answers << Prompter::No << Prompter::Cancel;
        m_prompter.fileNames << missing << QString();
        m_dialog->OpenFile();
        QCOMPARE(Doc()->GetPageCount(), 0);
        QVERIFY(!m_dialog->SaveFile()); // Save As, cancelled
        QVERIFY(!QFile::exists(missing));
        Asked();
    }

    void aRejectedFileIsNeverOfferedForCreation()
    {
        const QString path = Write("bad.dlg", "// x\n{1}{Hi}{}{}{}{}{}\n");
        const QByteArray before = Read(path);
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
        QCOMPARE(Read(path), before);
        Asked();

        // A folder is not a file to create either.
        m_prompter.answers << Prompter::Cancel;
        QVERIFY(!Start(m_files.Dir()));
        QVERIFY(Asked().constFirst().contains("cannot be read: Is a directory."));
    }

    void savesNamedAndUntitledDocuments()
    {
        QVERIFY(Start());
        Page()->SetSpeech("Hello");
        Page()->SetFemaleSpeech("Hello");
        m_prompter.fileNames << Path("chosen.dlg");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList{"Save As"});
        QCOMPARE(m_prompter.proposed, QStringList{"00001Untitled"});
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("chosen.dlg saved"));
        QCOMPARE(Title(), QStringLiteral("chosen.dlg - Quorvel Dialog Editor")); // the saved state, under the new name

        // Named now: the next save asks nothing, and writes the page added since.
        Change();
        Page()->SetSpeech("Bye");
        Page()->SetFemaleSpeech("Bye!");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList());
        QVERIFY(Read(Path("chosen.dlg")).contains("{21}{Bye}{Bye!}"));
    }

    void aFailedSaveIsReported()
    {
        QVERIFY(Start());
        Page()->SetFemaleSpeech("Hi");
        Write("file", "not a folder");
        m_prompter.fileNames << Path("file") + "/x.dlg";
        m_prompter.answers << Prompter::No; // not under another name
        QVERIFY(!m_dialog->SaveFile());
        QCOMPARE(Asked(), (QStringList{"Save As", "talkwright|\"x.dlg\" could not be saved: Not a directory.\n\n"
                                                  "The file on disk has not been changed. Save it under another name?"}));
        // Closing then asks again, and a second failure keeps the window open.
        m_prompter.answers << Prompter::Yes << Prompter::No;
        QVERIFY(!m_dialog->CanClose());
        QVERIFY(Doc());
        Asked();
    }

    void saveAsksBeforeOverwritingAChangedFile()
    {
        const QString path = Write("shared.dlg", "{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        Page()->SetResults("mine");
        QTest::qWait(20);
        Write("shared.dlg", "{1}{Theirs}{Theirs}{}{}{}{}\n");
        m_prompter.answers << Prompter::No;
        QVERIFY(!m_dialog->SaveFile());
        QVERIFY(Asked().constFirst().startsWith("File changed on disk|"));
        QCOMPARE(Read(path), QByteArray("{1}{Theirs}{Theirs}{}{}{}{}\n"));
        m_prompter.answers << Prompter::Yes;
        QVERIFY(m_dialog->SaveFile());
        QVERIFY(Read(path).contains("{mine}"));
        // After our own save, the next one asks nothing.
        Page()->SetResults("again");
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Asked().size(), 1);
    }

    // What the editor cannot keep, or a save would change (a page number
    // that no page has is saved as the end of the dialog), is named on
    // loading, a run of lines as one; the first save over the file asks
    // first, "No" being the default.
    void partlyUnderstoodFiles()
    {
        const QByteArray bytes = "Notes for the writer\nand more\n{1}{M:5,21}{A}{}{}{}{}\n{2}{B}{}{1}{}{}{} TODO\n";
        const QString path = Write("notes.dlg", bytes);
        QVERIFY(Start(path));
        QCOMPARE(Asked(), QStringList()); // not before the page is shown
        m_dialog->show();
        QTRY_VERIFY(!m_prompter.asked.isEmpty());
        QCOMPARE(Asked(), QStringList{"talkwright|\"" + path + "\" holds 4 lines or parts of lines that the editor cannot keep: "
                                      "saving the file would drop them.\n\nlines 1 to 2: not a dialog line or a comment\n"
                                      "line 3: a Request money speech's page number that no page has: a save writes 0, the end of the dialog\n"
                                      "line 4: text after the seventh field\n\nSave asks before it drops them."});
        Change();
        m_prompter.answers << Prompter::No;
        QVERIFY(!m_dialog->SaveFile());
        QVERIFY(Asked().constFirst().startsWith("Lines would be dropped|Saving \"" + path + "\" drops what the editor could not "
                                                "read in it:\n\nlines 1 to 2: not a dialog line or a comment\n"));
        QCOMPARE(Read(path), bytes);
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
        const QString path = Write("two.dlg", "// [LABEL] A\n{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        Change();
        const DialogLine *added = Page();
        const QString label = QString::fromStdString(added->GetLabel());
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(0));
        m_dialog->RefreshPage();
        m_prompter.pressEnter = true;
        QVERIFY(!m_dialog->SaveFile());
        QCOMPARE(Asked(), QStringList{"Pages would be lost|This page has no speech to female PCs, or one that starts with a digit, "
                                      "so it would not be read back as a page:\n\nPage \"" + label + "\" would be read back as an "
                                      "option of page \"A\".\n\nSave anyway, or go to page \"" + label + "\" to mend it?"});
        QCOMPARE(Page(), added);
        QCOMPARE(Read(path), QByteArray("// [LABEL] A\n{1}{A}{A}{}{}{}{}\n"));
    }

    // Enter through every question, from any file, changes and creates no file.
    void enterThroughEveryQuestion_data()
    {
        QTest::addColumn<QByteArray>("name"); // bytes, not UTF-8 in the last two
        QTest::addColumn<QByteArray>("bytes"); // empty: no such file
        QTest::newRow("dropped lines") << QByteArray("notes.dlg") << QByteArray("TODO\n{1}{A}{A}{}{}{}{}\nmore\n");
        QTest::newRow("lone CR line ends") << QByteArray("mac.dlg") << QByteArray("{1}{A}{A}{}{}{}{}\r{2}{B}{}{1}{}{}{}\r");
        QTest::newRow("a name that is not UTF-8") << QByteArray("Gr\xFC\xDF.dlg") << QByteArray("{1}{A}{A}{}{}{}{}\n// the end\n");
        QTest::newRow("a missing file named so") << QByteArray("Gr\xFC\xDF.dlg") << QByteArray();
    }
    void enterThroughEveryQuestion()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, bytes);
        const TestFiles folder; // of its own, to count what is in it
        const std::string path = bytes.isEmpty() ? folder.Path(name.toStdString()) : folder.Write(name.toStdString(), bytes.toStdString());
        m_prompter.pressEnter = true;
        if (Start(path)) {
            m_dialog->OnOK();
            Change();
            QTest::keyClick(m_dialog.get(), Qt::Key_Return);
            m_dialog->OnCancel();
        }
        QCOMPARE(folder.EntryCount(), bytes.isEmpty() ? 0 : 1);
        QCOMPARE(TestFiles::ReadBytes(path), bytes.toStdString()); // found under its own name
        Asked();
    }

    // The File menu lists the files opened and saved, newest first; one
    // opens again from there.
    // File > Export writes what dlgtool po extract and dlgtool script write,
    // from the document with its unsaved changes, and leaves the document
    // as it was. Fails if an export wrote the file on disk's texts, or
    // lines not saved yet without their numbers.
    void exportsForTranslatorsAndVoiceActors()
    {
        Open("// [LABEL] Inn\n{1}{Hello there}{Hello there}{}{}{}{}\n{2}{Bye}{}{1}{}{}{}\n", QStringLiteral("inn.dlg"));
        WhenModal({"speech=Farewell", "ok"});
        Find<QAction>("actionAddOption")->trigger();
        m_prompter.fileNames << Path("inn.pot") << Path("inn.csv");
        Find<QAction>("actionExportPoTemplate")->trigger();
        Find<QAction>("actionExportRecordingScript")->trigger();
        QCOMPARE(m_prompter.proposed, (QStringList{"inn.pot", "inn.csv"}));
        const QByteArray pot = Read(Path("inn.pot"));
        QVERIFY2(pot.contains("msgid \"Hello there\"") && pot.contains("msgid \"Farewell\"") && pot.contains("#: inn.dlg:4"), pot.constData());
        const QByteArray csv = Read(Path("inn.csv"));
        QVERIFY2(csv.contains("Farewell") && csv.contains("inn-4"), csv.constData());
        QVERIFY(Title().startsWith('*')); // the document still has its changes
    }

    void recentFiles()
    {
        QSettings().remove("recentFiles");
        const QString a = Write("a.dlg", "{1}{A}{A}{}{}{}{}\n");
        const QString b = Write("b.dlg", "{1}{B}{B}{}{}{}{}\n");
        QVERIFY(Start(a));
        QCOMPARE(m_dialog->LoadFile(Sys(b), "b.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(m_dialog->LoadFile(Sys(a), "a.dlg"), CMainDialog::LoadAnswer::Read);
        auto *menu = Find<QMenu>("recentMenu");
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), "&1 " + a);
        menu->actions()[1]->trigger();
        QCOMPARE(Title(), QStringLiteral("b.dlg - Quorvel Dialog Editor"));
    }

    void closing()
    {
        const QString path = Write("c.dlg", "{1}{A}{A}{}{}{}{}\n");
        QVERIFY(Start(path));
        Show();
        Press("exitButton");
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(Asked(), QStringList());
        QCOMPARE(Doc(), nullptr);

        // A changed file asks once, through the close box as through Escape;
        // Cancel keeps the window.
        QVERIFY(Start(path));
        Show();
        Change();
        m_prompter.pressEnter = true; // Enter at "Save changes?" neither saves nor closes
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible());
        m_prompter.pressEnter = false;
        m_prompter.answers << Prompter::No;
        m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(Asked(), (QStringList{SaveQuestion(path), SaveQuestion(path)}));
        QCOMPARE(Read(path), QByteArray("{1}{A}{A}{}{}{}{}\n"));
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
