// The navigation and option commands of the main window, through its
// buttons, menus, double clicks and dialogs, and playing a conversation as a PC.
#include "GuiTestFiles.h"

#include <QApplication>
#include <QClipboard>

class TestNavigation : public GuiTest {
    Q_OBJECT

private slots:
    void goToFindsPagesByThemselvesNotTheirNames()
    {
        Open("// [LABEL] NewPage0001\n{1}{a}{a}{}{}{}{}\n// [LABEL] A\n{21}{b}{b}{}{}{}{}\n"
             "// [LABEL] NewPage0001\n{41}{c}{c}{}{}{}{}\n");
        WhenModal([](QWidget *dialog) {
            auto *pages = In<QListWidget>(dialog, "pageList");
            QCOMPARE(pages->count(), 3);
            QCOMPARE(pages->currentRow(), 0); // the page on display
            pages->setCurrentRow(2);
            Click(dialog, "ok");
        });
        Press("goToButton");
        QCOMPARE(m_dialogsRun, 1);
        QCOMPARE(Page(), Doc()->GetPage(2));
        QCOMPARE(Find<QPlainTextEdit>("speechEdit")->toPlainText(), QStringLiteral("c"));

        // Cancel after moving the selection keeps the page.
        WhenModal([](QWidget *dialog) {
            In<QListWidget>(dialog, "pageList")->setCurrentRow(1);
            Click(dialog, "cancel");
        });
        Press("goToButton");
        QCOMPARE(Page(), Doc()->GetPage(2));

        // A double click goes at once.
        WhenModal([](QWidget *dialog) { DoubleClick(In<QListWidget>(dialog, "pageList"), 1); });
        Press("goToButton");
        QCOMPARE(Page(), Doc()->GetPage(1));
    }

    void followingOptions()
    {
        Open("// [LABEL] One\n{1}{a}{a}{}{}{}{}\n{2}{Go}{}{1}{}{21}{}\n{3}{End}{}{1}{}{}{}\n"
             "// [LABEL] Two\n{21}{b}{b}{}{}{}{}\n{22}{x}{}{1}{}{}{}\n{23}{y}{}{1}{}{}{}\n");
        DoubleClick(List(), 1);
        QCOMPARE(Asked(), QStringList{"talkwright|Dialog terminates after this line"});
        QCOMPARE(Page(), Doc()->GetPage(0));
        DoubleClick(List(), 0);
        QCOMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(List()->currentRow(), 0);

        // With no option selected, the command is off in the menu as on its button.
        List()->clearSelection();
        QVERIFY(!Find<QAction>("actionGoToResult")->isEnabled());
        QVERIFY(!Find<QWidget>("goToResultButton")->isEnabled());
    }

    // By buttons and keys, the selection following the option moved; Ctrl+S
    // and Enter on the list save.
    void movingAndDeletingOptions()
    {
        Open("{1}{a}{a}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n{4}{z}{}{}{}{}{}\n");
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        COptionListBox *list = List();
        const auto speeches = [this] {
            QString all;
            for (int i = 0; i < Page()->GetOptionCount(); ++i)
                all += QString::fromStdString(Page()->GetOption(i)->GetSpeech());
            return all;
        };
        list->setCurrentRow(1);
        Press("moveUpButton");
        QCOMPARE(speeches(), QStringLiteral("yxz"));
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(!Find<QPushButton>("moveUpButton")->isEnabled());
        QVERIFY(Title().startsWith('*'));
        QTest::keyClick(m_dialog.get(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(speeches(), QStringLiteral("xyz"));
        QCOMPARE(list->currentRow(), 1);
        Press("moveDownButton");
        QCOMPARE(speeches(), QStringLiteral("xzy"));
        QCOMPARE(list->currentRow(), 2);
        QVERIFY(!Find<QPushButton>("moveDownButton")->isEnabled());
        QTest::keyClick(m_dialog.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(Read(Path("nav.dlg")).startsWith("// [LABEL] 1\r\n{1}{a}{a}{}{1}{}{}\r\n{2}{x}"));
        QVERIFY(!Title().startsWith('*'));

        Press("deleteOptionButton"); // asks nothing
        QCOMPARE(speeches(), QStringLiteral("xz"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(Asked(), QStringList());
        QVERIFY(Title().startsWith('*'));
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(speeches(), QStringLiteral("z"));
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!Title().startsWith('*'));
    }

    void addingOptions()
    {
        Open("{1}{a}{a}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n");
        COptionListBox *list = List();
        list->setCurrentRow(1);
        WhenModal({"speech=New", "ok"});
        Press("addOptionButton");
        QCOMPARE(Page()->GetOptionCount(), 3);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text().section('\n', 0, 0), QStringLiteral("New"));
        // The new option is selected, and the commands follow it.
        QCOMPARE(list->currentRow(), 2);
        QVERIFY(!Find<QPushButton>("moveDownButton")->isEnabled());
        QVERIFY(Find<QPushButton>("moveUpButton")->isEnabled());
        QVERIFY(Title().startsWith('*')); // the title follows every change
        list->setCurrentRow(1);
        QVERIFY(Find<QPushButton>("moveDownButton")->isEnabled());

        WhenModal({"speech=Dropped", "cancel"});
        Find<QAction>("actionAddOption")->trigger();
        QCOMPARE(Page()->GetOptionCount(), 3);
        QCOMPARE(list->count(), 3);
        QCOMPARE(m_dialogsRun, 2);
    }

    void pageCommands()
    {
        Open("// [LABEL] One\n{1}{a}{a}{}{}{}{}\n");
        WhenModal({"ok"});
        Press("changeButton");
        QVERIFY(Title().startsWith('*')); // confirming marks the page

        Press("newPageButton");
        QCOMPARE(Doc()->GetPageCount(), 2);
        QVERIFY(Name().startsWith("NewPage"));
        QCOMPARE(List()->count(), 0);

        // "Edit NPC speech" (Ctrl+A) edits the speech of this page and adds none.
        WhenModal([](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit NPC Speech"));
            Click(dialog, "cancel");
        });
        QAction *editNpcSpeech = Find<QAction>("actionEditNpcSpeech");
        QCOMPARE(editNpcSpeech->text(), QStringLiteral("Edit NPC speec&h"));
        QCOMPARE(editNpcSpeech->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        editNpcSpeech->trigger();
        QCOMPARE(m_dialogsRun, 2);
        QCOMPARE(Doc()->GetPageCount(), 2);

        // Cancel in the page info dialog changes nothing.
        const std::string name = Page()->GetLabel();
        WhenModal({"name=Other", "cancel"});
        Press("changeButton");
        QCOMPARE(Page()->GetLabel(), name);

        // Blanks at the ends go, as reading would drop them; a description
        // that would read back as a page name is refused.
        WhenModal([](QWidget *dialog) {
            auto *name = In<QLineEdit>(dialog, "name");
            QCOMPARE(name->selectedText(), name->text()); // typing replaces the whole name
            Act(dialog, {"name= ", "ok"}); // no name: it would read back as the page's number
            QVERIFY(dialog->isVisible());
            Act(dialog, {"note?A page needs a name: without one it would be read back named by its number.", "name= Inn ", "description=Bar",
                         "description=Bar [LABEL] x", "description?Bar", "description= Bar\t", "ok"});
        });
        Press("changeButton");
        QCOMPARE(Page()->GetLabel(), std::string("Inn"));
        QCOMPARE(Page()->GetDescription(), std::string("Bar"));
    }

    // Every dialog, opened and confirmed with nothing touched, leaves every
    // byte that a save writes as it was: values the controls cannot show or
    // could not have been typed included. (A Request money page number that
    // no page has is saved as 0, the end of the dialog, dialog or not, and
    // the save asks first.)
    void okWithoutEditsKeepsEveryByte()
    {
        const QByteArray bytes = "// [LABEL] Start\r\n// [DESCRIPTION] a\rb\r\n"
                                 "{1}{M:100,99}{M:100,99}{}{1}{}{}\r\n"     // a money page that no page has
                                 "{2}{Hi}{2}{5\xE9}{c\rd}{}{r\re}\r\n"      // odd gender check, intelligence, lone CRs
                                 "{3}{G:}{}{-1}{}{21}{}\r\n\r\n"           // a kind only NPCs speak; a check the dialog refuses
                                 "// [LABEL] End\r\n{21}{Y:}{Bye.}{x}{2}{}{}\r\n\r\n"; // a kind only PCs speak
        Open(bytes);
        WhenModal({"malePage?page 99 (no such page)", "ok"});
        Press("editSpeechButton");
        for (const int row : {0, 1}) {
            List()->setCurrentRow(row);
            WhenModal({"ok"});
            Press("editOptionButton");
            QCOMPARE(List()->currentRow(), row); // the option edited stays selected
        }
        WhenModal({"ok"});
        Press("changeButton");
        List()->setCurrentRow(1);
        Press("goToResultButton");
        WhenModal({"ok"});
        Press("editSpeechButton");
        QCOMPARE(m_dialogsRun, 5);
        m_prompter.answers << Prompter::Yes;
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(Read(Path("nav.dlg")), QByteArray(bytes).replace("{M:100,99}{M:100,99}", "{M:100,0}{M:100,0}"));
    }

    // Undo takes back any command and shows what it changed; the modified
    // mark follows the undo stack; Back and Forward step through the pages.
    void undoRedoAndThePagesVisited()
    {
        Open("// [LABEL] A\n{1}{a}{a}{}{}{}{}\n{2}{x}{}{}{}{21}{}\n{3}{y}{}{}{}{}{}\n// [LABEL] B\n{21}{b}{b}{}{}{}{}\n");
        QAction *undo = Find<QAction>("actionUndo");
        QAction *redo = Find<QAction>("actionRedo");
        QVERIFY(!undo->isEnabled());
        List()->setCurrentRow(1);
        Press("deleteOptionButton");
        QCOMPARE(undo->text(), QStringLiteral("U&ndo Delete Option"));
        QVERIFY(Title().startsWith('*'));
        Press("newPageButton");
        QCOMPARE(Doc()->GetPageCount(), 3);

        undo->trigger(); // the new page goes, and page A shows again
        QCOMPARE(Name(), QStringLiteral("A"));
        QCOMPARE(Page(), Doc()->GetPage(0));
        undo->trigger(); // the option comes back, selected
        QCOMPARE(Doc()->GetPageCount(), 2);
        QCOMPARE(Name(), QStringLiteral("A"));
        QCOMPARE(List()->count(), 2);
        QCOMPARE(List()->currentRow(), 1);
        QVERIFY(!Title().startsWith('*')); // back to the state read
        QCOMPARE(redo->text(), QStringLiteral("Red&o Delete Option"));
        QTest::keyClick(m_dialog.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(List()->count(), 1);

        // A -> B by the option, then back and forward; the undone page is skipped.
        List()->setCurrentRow(0);
        Press("goToResultButton");
        QCOMPARE(Name(), QStringLiteral("B"));
        QTest::keyClick(m_dialog.get(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(Name(), QStringLiteral("A"));
        Find<QAction>("actionForward")->trigger();
        QCOMPARE(Name(), QStringLiteral("B"));
        Find<QAction>("actionForward")->trigger(); // nothing ahead
        QCOMPARE(Name(), QStringLiteral("B"));

        // Save As writes the new file and leaves the old one as it was.
        const QByteArray before = Read(Path("nav.dlg"));
        m_prompter.fileNames << Path("copy.dlg");
        QVERIFY(m_dialog->SaveFileAs());
        QCOMPARE(Read(Path("nav.dlg")), before);
        QVERIFY(Read(Path("copy.dlg")).contains("{1}{a}{a}"));
        QCOMPARE(Title(), QStringLiteral("copy.dlg - Quorvel Dialog Editor"));
        Asked();
    }

    // With no page, the commands that need one say so and touch nothing.
    void commandsWithoutAPage()
    {
        QVERIFY(Start());
        Show();
        QCOMPARE(m_dialog->LoadFile(Sys(Write("empty.dlg", "\r\n")), "empty.dlg"), CMainDialog::LoadAnswer::Read);
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("empty.dlg read okay (0 dialog pages read)"));
        QCOMPARE(Page(), nullptr);
        QCOMPARE(List()->count(), 0);
        for (const char *name : {"goToResultButton", "deleteOptionButton", "moveUpButton", "moveDownButton"})
            QVERIFY2(!Find<QPushButton>(name)->isEnabled(), name);
        for (auto command : {&CMainDialog::OnGoToResultPage, &CMainDialog::OnDeleteOption, &CMainDialog::OnMoveOptionUp,
                             &CMainDialog::OnMoveOptionDown})
            (m_dialog.get()->*command)();
        QCOMPARE(Asked().size(), 4);
        for (const char *button : {"addOptionButton", "editSpeechButton", "changeButton"})
            Press(button);
        const QString noPage = "talkwright|There is no dialog page yet. \"New page\" adds one.";
        QCOMPARE(Asked(), (QStringList{noPage, noPage, noPage}));
        WhenModal([](QWidget *dialog) {
            QCOMPARE(In<QListWidget>(dialog, "pageList")->count(), 0);
            Click(dialog, "ok");
        });
        Press("goToButton");
        QCOMPARE(Page(), nullptr);
        Press("newPageButton");
        QVERIFY(Page());
        QCOMPARE(Doc()->GetPageCount(), 1);
    }

    // A female PC of intelligence 4 plays by number keys, numbered among the
    // options offered; the path, the command that replays it, Back, Edit this
    // page, and the PC kept for the next run.
    void playsAsAPc()
    {
        Open("// [LABEL] Gate\n{1}{Halt!}{Halt, miss!}{}{}{}{}\n{2}{Men only}{1}{}{}{21}{}\n{3}{Bribe}{}{1}{Gold > 5}{21}{}\n"
             "// [LABEL] Yard\n{21}{Inside.}{Inside.}{}{}{}{}\n{22}{Clever}{}{5}{}{1}{}\n{23}{Back out}{}{1}{}{1}{}\n{24}{On}{}{-5}{}{41}{}\n"
             "// [LABEL] Hall\n{41}{E:}{E:}{}{}{}{}\n{42}{Bye}{}{1}{}{}{}\n");
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        const QString command = "dlgtool play " + Path("nav.dlg") + " --gender female --intelligence 4 --choose 1,2,1";
        WhenModal([command](QWidget *play) {
            In<QComboBox>(play, "gender")->setCurrentIndex(1);
            In<QComboBox>(play, "intelligence")->setEditText("4");
            auto *options = In<QListWidget>(play, "options");
            auto *path = In<QListWidget>(play, "path");
            QCOMPARE(In<QPlainTextEdit>(play, "npcSpeech")->toPlainText(), QStringLiteral("Halt, miss!"));
            QCOMPARE(options->count(), 2);
            QCOMPARE(options->item(0)->text(), QStringLiteral("1. Bribe\n      if Gold > 5\n      goes to page Yard"));
            QCOMPARE(options->item(1)->text(), QStringLiteral("Men only\n      goes to page Yard\n      not offered: only for male PCs"));
            QVERIFY(!(options->item(1)->flags() & Qt::ItemIsEnabled));
            for (const Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_1})
                QTest::keyClick(options, key);
            QCOMPARE(path->count(), 3);
            QCOMPARE(path->item(0)->text() + path->item(1)->text() + path->item(2)->text(), QStringLiteral("GateYardHall"));
            QVERIFY(!In<QLabel>(play, "end")->text().isEmpty());
            Click(play, "copyCommand");
            QCOMPARE(QApplication::clipboard()->text(), command);
            Click(play, "back"); // the last choice, on the page that stays
            Click(play, "back");
            QCOMPARE(path->count(), 2);
            QVERIFY(In<QLabel>(play, "end")->text().isEmpty());
            Click(play, "editPage");
        });
        QTest::keyClick(m_dialog.get(), Qt::Key_F5);
        QCOMPARE(m_dialogsRun, 1);
        QCOMPARE(Name(), QStringLiteral("Yard"));
        Find<QAction>("actionBack")->trigger(); // the page shown was visited
        QCOMPARE(Name(), QStringLiteral("Gate"));

        WhenModal([](QWidget *play) {
            QCOMPARE(In<QComboBox>(play, "gender")->currentText(), QStringLiteral("female"));
            QCOMPARE(In<QComboBox>(play, "intelligence")->currentText(), QStringLiteral("4"));
            Click(play, "close");
        });
        Find<QAction>("actionPlayFromFirstPage")->trigger();
        QCOMPARE(m_dialogsRun, 2);
        QCOMPARE(Name(), QStringLiteral("Gate"));
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
