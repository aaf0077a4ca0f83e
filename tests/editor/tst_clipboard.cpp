// Copy, cut and paste in the window, of options and of pages, and the
// commands on several options selected at once: each one undo step.
#include "GuiTestFiles.h"
#include "commands/ClipboardCommands.h"
#include "panels/OutlinePanel.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTreeView>

class TestClipboard : public GuiTest {
    Q_OBJECT

    static constexpr const char *kFile = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{To the mill}{}{1}{}{21}{}\n{3}{Bye}{}{1}{}{}{}\n"
                                         "{4}{Stay}{}{1}{}{1}{}\n"
                                         "// [LABEL] Mill\n{21}{Grind}{Grind}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n";

    void Trigger(const char *action) { Find<QAction>(action)->trigger(); }
    // The speeches of a page's options, joined.
    static QString Speeches(const DialogLine *page)
    {
        QStringList all;
        for (int i = 0; i < page->GetOptionCount(); ++i)
            all << QString::fromStdString(page->GetOption(i)->GetSpeech());
        return all.join(QLatin1Char(','));
    }
    // Selects rows of the option list as Ctrl and a click do.
    void Select(const QList<int> &rows)
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(List()->item(rows.first())).center());
        for (int row : rows.mid(1))
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, List()->visualItemRect(List()->item(row)).center());
    }

private slots:
    void init()
    {
        GuiTest::init();
        QGuiApplication::clipboard()->clear();
    }

    // An option copied with Ctrl+C goes after the option selected on
    // another page with Ctrl+V, still leading to its page; the clipboard
    // holds its line as Save writes it. Undo takes the paste back.
    void copyAnOptionAndPasteItOnAnotherPage()
    {
        Open(kFile);
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QVERIFY(!Find<QAction>("actionPaste")->isEnabled());
        List()->setCurrentRow(0);
        QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("{2}{To the mill}{}{1}{}{21}{}\n"));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(ClipboardCommands::MimeType));
        QVERIFY(Find<QAction>("actionPaste")->isEnabled());
        QVERIFY(!Title().startsWith('*'));

        m_dialog->Session().SetCurrentPage(Doc()->GetPage(1));
        QTest::keyClick(List(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Speeches(Page()), QStringLiteral("Back,To the mill"));
        QCOMPARE(Page()->GetOption(1)->GetTarget(), Doc()->GetPage(1));
        QCOMPARE(List()->currentRow(), 1); // the option pasted
        QCOMPARE(m_dialog->GetStatusLine().GetMessage(), std::string("Pasted 1 option"));
        QVERIFY(Title().startsWith('*'));
        QCOMPARE(Find<QAction>("actionUndo")->text(), QStringLiteral("U&ndo Paste Option"));
        Trigger("actionUndo");
        QCOMPARE(Speeches(Doc()->GetPage(1)), QStringLiteral("Back"));
        QVERIFY(!Title().startsWith('*'));
    }

    // Two options selected with Ctrl and the mouse are cut in one step and
    // pasted together; a text that is not dialog lines is refused whole.
    void cutTwoOptionsAndPasteThem()
    {
        Open(kFile);
        Select({0, 2});
        QCOMPARE(m_dialog->Session().GetSelectedOptions(), (std::vector<int>{0, 2}));
        QVERIFY(!Find<QAction>("actionEditOption")->isEnabled());
        QVERIFY(Find<QAction>("actionDeleteOption")->isEnabled());
        Trigger("actionCut");
        QCOMPARE(Speeches(Page()), QStringLiteral("Bye"));
        QCOMPARE(Find<QAction>("actionUndo")->text(), QStringLiteral("U&ndo Cut Options"));
        List()->setCurrentRow(0);
        Trigger("actionPaste");
        QCOMPARE(Speeches(Page()), QStringLiteral("Bye,To the mill,Stay"));
        QCOMPARE(m_dialog->Session().GetSelectedOptions(), (std::vector<int>{1, 2}));
        QCOMPARE(Page()->GetOption(1)->GetTarget(), Doc()->GetPage(1));
        QCOMPARE(Page()->GetOption(2)->GetTarget(), Doc()->GetPage(0));
        Trigger("actionUndo");
        Trigger("actionUndo");
        QCOMPARE(Speeches(Page()), QStringLiteral("To the mill,Bye,Stay"));
        QCOMPARE(m_dialog->Session().GetSelectedOptions(), (std::vector<int>{0, 2})); // what came back

        QGuiApplication::clipboard()->setText(QStringLiteral("{5}{Fine}{}{1}{}{}{}\nnot a line"));
        Trigger("actionPaste");
        QCOMPARE(Asked(), QStringList{"Paste|The clipboard holds no dialog lines to paste, so nothing was pasted: line 2: not a dialog line or a comment."});
        QCOMPARE(Page()->GetOptionCount(), 3);
    }

    // Several options move and go as one step each, staying selected.
    void severalOptionsMoveAndGoTogether()
    {
        Open(kFile);
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        Select({1, 2});
        QVERIFY(Find<QAction>("actionMoveUp")->isEnabled());
        QVERIFY(!Find<QAction>("actionMoveDown")->isEnabled());
        Trigger("actionMoveUp");
        QCOMPARE(Speeches(Page()), QStringLiteral("Bye,Stay,To the mill"));
        QCOMPARE(m_dialog->Session().GetSelectedOptions(), (std::vector<int>{0, 1}));
        QCOMPARE(List()->selectedItems().size(), 2);
        QVERIFY(!Find<QAction>("actionMoveUp")->isEnabled());
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(Speeches(Page()), QStringLiteral("To the mill"));
        Trigger("actionUndo");
        QCOMPARE(Speeches(Page()), QStringLiteral("Bye,Stay,To the mill"));
        Trigger("actionUndo");
        QCOMPARE(Speeches(Page()), QStringLiteral("To the mill,Bye,Stay"));
    }

    // In the outline, Ctrl+C takes the page on display with its options,
    // and Ctrl+V puts it after that page, named as a copy; Ctrl+X asks
    // before it ends the options that lead to the page.
    void pagesInTheOutline()
    {
        Open(kFile);
        m_dialog->Outline().show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QTreeView *pages = m_dialog->Outline().pageView;
        pages->setFocus();
        QTest::keyClick(pages, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("// [LABEL] Inn\n{1}{Hello}")));
        QTest::keyClick(pages, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Doc()->GetPageCount(), 3);
        QCOMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(Page()->GetLabel(), std::string("Inn copy"));
        QCOMPARE(Page()->GetOption(2)->GetTarget(), Page()); // its jump to itself
        QCOMPARE(Page()->GetOption(0)->GetTarget(), Doc()->GetPage(2));

        m_dialog->Session().SetCurrentPage(Doc()->GetPage(2));
        m_prompter.answers << Prompter::Cancel;
        QTest::keyClick(pages, Qt::Key_X, Qt::ControlModifier);
        QVERIFY2(Asked().value(0).startsWith("Cut page|Cut the page \"Mill\"?"), "the links are named first");
        QCOMPARE(Doc()->GetPageCount(), 3);
        m_prompter.answers << Prompter::Yes;
        QTest::keyClick(pages, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(Doc()->GetPageCount(), 2);
        QCOMPARE(Find<QAction>("actionUndo")->text(), QStringLiteral("U&ndo Cut Page"));
        Trigger("actionPastePage");
        QCOMPARE(Doc()->GetPage(2)->GetLabel(), std::string("Mill"));
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
