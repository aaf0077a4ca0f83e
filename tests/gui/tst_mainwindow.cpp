// The main window as a user sees it: the page view, the option commands'
// states, the speech switch, the title, the layout rule and the option list.
#include "GuiTestFiles.h"
#include "ScriptedPrompter.h"
#include "ui/AnsiText.h"
#include "app/CMainDialog.h"
#include "app/COptionListBox.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/OptionDescription.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>

namespace {

const QByteArray kExamples = "// [LABEL] Start\n{1}{Hi man}{Hi woman}{}{}{}{}\n"
                             "{2}{S}{}{1}{}{1}{}\n"
                             "// [DESCRIPTION] D\n{3}{Caf\xe9}{1}{-8}{C}{}{R}\n"
                             "// [LABEL] Same\n{21}{Hello}{Hello}{}{}{}{}\n";

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    GuiTestFiles m_files;
    ScriptedPrompter m_prompter;
    CMainDialog *m_dialog = nullptr;

    template <typename T>
    T *Find(const char *name) { return GuiTestFiles::Find<T>(m_dialog, name); }
    COptionListBox *List() { return Find<COptionListBox>("optionList"); }

    void Open(const QByteArray &bytes)
    {
        const QString path = m_files.Write(QStringLiteral("page.dlg"), bytes);
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(path), QStringLiteral("page.dlg")), CMainDialog::LoadAnswer::Read);
    }

private slots:
    void init()
    {
        m_prompter = ScriptedPrompter();
        m_dialog = new CMainDialog(std::string(), m_prompter);
        QVERIFY(m_dialog->OnInitDialog());
    }
    void cleanup()
    {
        QVERIFY2(m_prompter.Done(), "every scripted answer is used");
        delete m_dialog;
        m_dialog = nullptr;
    }

    // What the descriptions say is tested in the core; here, that the list
    // shows them in order, as Windows-1252.
    void describesOptions()
    {
        Open(kExamples);
        QCOMPARE(List()->count(), m_dialog->Session().GetCurrentPage()->GetOptionCount());
        for (int i = 0; i < List()->count(); ++i)
            QCOMPARE(List()->item(i)->text(), AnsiText::ToDisplay(OptionDescription::Build(*m_dialog->Session().GetCurrentPage()->GetOption(i))));
        QCOMPARE(List()->GetOption(1), m_dialog->Session().GetCurrentPage()->GetOption(1));
    }

    void optionCommandsFollowTheSelection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("down");
        const QByteArray three = "{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n{4}{z}{}{}{}{}{}\n";
        QTest::newRow("no selection") << three << -1 << false << false;
        QTest::newRow("first") << three << 0 << false << true;
        QTest::newRow("middle") << three << 1 << true << true;
        QTest::newRow("last") << three << 2 << true << false;
        QTest::newRow("no options") << QByteArray("{1}{A}{A}{}{}{}{}\n") << -1 << false << false;
        QTest::newRow("one option") << QByteArray("{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n") << 0 << false << false;
    }
    void optionCommandsFollowTheSelection()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(bool, down);
        Open(file);
        QCOMPARE(List()->currentRow(), List()->count() > 0 ? 0 : -1); // a redisplay selects the first option
        if (row < 0)
            List()->clearSelection();
        else
            List()->setCurrentRow(row);
        const bool any = row >= 0;
        const auto enabled = [this](const char *name) { return Find<QWidget>(name)->isEnabled(); };
        const auto action = [this](const char *name) { return Find<QAction>(name)->isEnabled(); };
        QVERIFY(enabled("addOptionButton"));
        QCOMPARE(enabled("deleteOptionButton"), any);
        QCOMPARE(action("actionDeleteOption"), any);
        QCOMPARE(enabled("editOptionButton"), any);
        QCOMPARE(action("actionEditOption"), any);
        QCOMPARE(enabled("goToResultButton"), any);
        QCOMPARE(action("actionGotoPage"), any);
        QCOMPARE(enabled("moveUpButton"), up);
        QCOMPARE(action("actionMoveUp"), up);
        QCOMPARE(enabled("moveDownButton"), down);
        QCOMPARE(action("actionMoveDown"), down);
        // Never disabled, whatever the selection.
        QVERIFY(action("actionAddOption") && action("actionGoToResult") && action("actionEditNpcSpeech"));
        QVERIFY(enabled("goToButton"));
    }

    void switchesBetweenTheTwoSpeeches()
    {
        Open(kExamples);
        auto *caption = Find<QLabel>("speechCaption");
        auto *speech = Find<QPlainTextEdit>("speechEdit");
        auto *button = Find<QPushButton>("viewFemaleButton");
        QCOMPARE(caption->text(), QStringLiteral("Speech to male PC:"));
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hi man"));
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(caption->text(), QStringLiteral("Speech to female PC:"));
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hi woman"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hi man"));
        QTest::mouseClick(button, Qt::LeftButton);
        m_dialog->RefreshPage();
        QCOMPARE(caption->text(), QStringLiteral("Speech to male PC:"));
        QCOMPARE(button->text(), QStringLiteral("View speech to female PC"));

        m_dialog->Session().SetCurrentPage(m_dialog->Session().GetDocument()->GetPage(1));
        m_dialog->RefreshPage();
        QCOMPARE(caption->text(), QStringLiteral("Speech to both genders:"));
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hello"));
        QVERIFY(!button->isEnabled());
        QCOMPARE(Find<QLineEdit>("nameEdit")->text(), QStringLiteral("Same"));
    }

    void titleShowsTheModifiedMark()
    {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("*00001Untitled - Quorvel Dialog Editor"));
        Open("// [LABEL] Caf\xe9 [*]\n{1}{A}{A}{}{}{}{}\n");
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("page.dlg - Quorvel Dialog Editor"));
        QCOMPARE(Find<QLineEdit>("nameEdit")->text(), QStringLiteral("Caf\u00e9 [*]"));
        Find<QPushButton>("newPageButton")->click();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("*page.dlg - Quorvel Dialog Editor"));
        m_prompter.answers << Prompter::Yes; // the new page has no speech yet: save anyway
        QVERIFY(m_dialog->SaveFile());
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("page.dlg - Quorvel Dialog Editor")); // at once, not at the next redisplay
    }

    void controlsFollowTheWindowSize()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
        const char *const stretchedAcross[] = {"pageGroup", "npcSpeechGroup", "optionsGroup", "descriptionEdit", "speechEdit", "optionList"};
        const char *const ridingRight[] = {"openButton", "saveButton", "exitButton"};
        const char *const ridingDown[] = {"statusLine", "goToButton", "newPageButton", "addOptionButton", "deleteOptionButton",
                                          "editOptionButton", "goToResultButton", "moveDownButton", "moveUpButton"};
        const char *const staying[] = {"nameEdit", "changeButton", "editSpeechButton", "viewFemaleButton", "speechCaption"};
        QWidget *client = Find<QWidget>("client");
        const QList<QWidget *> controls = client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QMap<QString, QRect> before;
        QList<QRect> all;
        for (QWidget *child : controls) {
            before[child->objectName()] = child->geometry();
            all << child->geometry();
        }
        before["client"] = client->geometry();
        const auto geometry = [this](const char *name) { return Find<QWidget>(name)->geometry(); };
        const QSize start = m_dialog->size();

        m_dialog->resize(start + QSize(40, 0));
        QTRY_COMPARE(Find<QWidget>("client")->width(), before["client"].width() + 40);
        for (const char *name : stretchedAcross)
            QCOMPARE(geometry(name), before[name].adjusted(0, 0, 40, 0));
        for (const char *name : ridingRight)
            QCOMPARE(geometry(name), before[name].translated(40, 0));
        for (const char *name : ridingDown)
            QCOMPARE(geometry(name), before[name]);

        m_dialog->resize(start + QSize(40, 30));
        QTRY_COMPARE(Find<QWidget>("client")->height(), before["client"].height() + 30);
        QCOMPARE(geometry("optionsGroup"), before["optionsGroup"].adjusted(0, 0, 40, 30));
        QCOMPARE(geometry("optionList"), before["optionList"].adjusted(0, 0, 40, 30));
        QCOMPARE(geometry("npcSpeechGroup"), before["npcSpeechGroup"].adjusted(0, 0, 40, 0));
        for (const char *name : ridingDown)
            QCOMPARE(geometry(name), before[name].translated(0, 30));
        for (const char *name : ridingRight)
            QCOMPARE(geometry(name), before[name].translated(40, 30));

        m_dialog->resize(start);
        QTRY_COMPARE(Find<QWidget>("client")->size(), before["client"].size());
        for (int i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), all[i]);
        for (const char *name : staying)
            QCOMPARE(geometry(name), before[name]);

        // Never smaller than the template.
        m_dialog->resize(start - QSize(100, 100));
        QTRY_COMPARE(Find<QWidget>("client")->size(), before["client"].size());
    }

    void entriesAreMeasuredWhenAdded()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
        Open("{1}{A}{A}{}{}{}{}\n");
        COptionListBox *list = List();
        list->InsertEntry(-1, QStringLiteral("one"), m_dialog->Session().GetCurrentPage());
        list->InsertEntry(-1, QStringLiteral("one\ntwo\nthree"), m_dialog->Session().GetCurrentPage());
        list->InsertEntry(-1, QString(40, QLatin1Char('x')).append(QStringLiteral(" word")).repeated(8), m_dialog->Session().GetCurrentPage());
        const auto height = [list](int row) { return list->item(row)->sizeHint().height(); };
        const int line = height(0) - 5;
        QVERIFY(line > 0);
        QCOMPARE(height(1), 3 * line + 5);
        QVERIFY2(height(2) > 2 * line + 5, "a long line wraps at the list's width");

        // A wider list keeps the heights it measured until the page is redisplayed.
        const int wrapped = height(2);
        m_dialog->resize(m_dialog->size() + QSize(400, 0));
        QTRY_VERIFY(list->width() > 400);
        QCOMPARE(height(2), wrapped);
        QVERIFY(list->MeasureItem(list->item(2)->text()) < wrapped);
    }

    void rightClickSelectsThenShowsTheMenu()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
        Open("{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n{4}{z}{}{}{}{}{}\n");
        COptionListBox *list = List();
        QCOMPARE(list->currentRow(), 0);
        QStringList menuItems;
        QTimer::singleShot(0, this, [&menuItems] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *action : menu->actions())
                menuItems << action->text() + (action->isEnabled() ? "" : " (off)");
            menu->close();
        });
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, second);
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(Find<QWidget>("moveUpButton")->isEnabled());
        m_dialog->OnContextMenu(second);
        QCOMPARE(menuItems, (QStringList{"Add option..", "", "Edit option", "Delete option", "Move option up",
                                         "Move option down", "Go to result page"}));
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, second);
    }

    void shortcutsRunTheirCommands()
    {
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog));
        const QString path = m_files.Write(QStringLiteral("keys.dlg"), "{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n");
        QCOMPARE(m_dialog->LoadFile(GuiTestFiles::Sys(path), QStringLiteral("keys.dlg")), CMainDialog::LoadAnswer::Read);
        QTest::keyClick(m_dialog, Qt::Key_D, Qt::ControlModifier); // move the first option down
        QCOMPARE(AnsiText::ToDisplay(m_dialog->Session().GetCurrentPage()->GetOption(1)->GetSpeech()), QStringLiteral("x"));
        QCOMPARE(List()->currentRow(), 1);
        QTest::keyClick(m_dialog, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(GuiTestFiles::Read(path).startsWith("// [LABEL] 1\r\n{1}{A}{A}{}{1}{}{}\r\n{2}{y}"));
        QVERIFY(!m_dialog->Session().GetDocument()->IsModified());

        // Enter on the list saves too; Delete removes the selected option.
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(m_dialog->Session().GetCurrentPage()->GetOptionCount(), 1);
        QTest::keyClick(List(), Qt::Key_Return);
        QVERIFY(!m_dialog->Session().GetDocument()->IsModified());
    }

    void statusLineRunsOnTheWindowTimers()
    {
        auto *status = Find<QLabel>("statusLine");
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Quorvel Dialog Editor"), 3000);
        m_dialog->SetStatusMessage(QStringLiteral("ab"));
        QTRY_COMPARE(status->text(), QStringLiteral("ab"));
        // A name outside ASCII reads the same at every frame's end.
        m_dialog->SetStatusMessage(QStringLiteral("Gr\u00fc\u00dfe.dlg saved"));
        QTRY_COMPARE(status->text(), QStringLiteral("Gr\u00fc\u00dfe.dlg saved"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
