// The game's folder in the window: the Conversations panel, find and replace
// in every file, and the panel of conditions and results.
#include "GuiTestFiles.h"
#include "commands/FolderCommands.h"
#include "panels/ConversationsPanel.h"
#include "panels/FindBar.h"
#include "panels/FolderTreeModel.h"
#include "panels/UsesPanel.h"
#include "session/GameFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QTreeView>
#include <QTreeWidget>

class TestFolder : public GuiTest {
    Q_OBJECT

    // The open file tests a quest that the mill's file sets; the mill tests
    // one nothing sets.
    static constexpr const char *kInn = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{The mill?}{}{1}{Flag(MillDone)}{}{}\n";
    static constexpr const char *kMill = "// [LABEL] Mill\n{1}{Grind}{Grind}{}{}{}{}\n"
                                         "// [LABEL] Wheel\n{21}{Turn}{Turn}{}{}{}{}\n{22}{The millstone}{}{1}{Flag(MillQuest)}{}{SetFlag(MillDone)}\n";

    // The folder of one test: inn.dlg open in the window, quests/mill.dlg,
    // and a file that is no dialog file.
    QString m_folder;
    QString In(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
    std::string Entry(const QString &name) const { return GameFolder::Spelling(Sys(In(name))); }

    void OpenFolder(const char *test)
    {
        m_folder = Path(QLatin1String(test));
        QVERIFY(QDir().mkpath(In(QStringLiteral("quests"))));
        Write(QLatin1String(test) + QStringLiteral("/quests/mill.dlg"), kMill);
        Write(QLatin1String(test) + QStringLiteral("/bad.dlg"), "no dialog here\n");
        Open(kInn, QLatin1String(test) + QStringLiteral("/inn.dlg"));
    }
    void Show(QDockWidget &panel)
    {
        panel.show();
        panel.raise();
        QTRY_VERIFY(m_dialog->Folder().IsUpToDate());
    }
    QString Cell(const std::string &path, int column)
    {
        const FolderTreeModel &model = m_dialog->Conversations().GetModel();
        return model.index(model.IndexOf(path).row(), column, model.IndexOf(path).parent()).data().toString();
    }
    // The conditions of the open document's first option.
    QString Conditions() const
    {
        const std::string_view text = Doc()->GetPage(0)->GetOption(0)->ViewFields()[4];
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    static void Enter(QAbstractItemView *view, const QModelIndex &index)
    {
        view->setFocus();
        view->setCurrentIndex(index);
        QTest::keyClick(view, Qt::Key_Return);
    }
    // The page on display, by its name, and the row of the option selected.
    QString Shown() const { return QString::fromStdString(Page()->GetLabel()) + QStringLiteral(" %1").arg(m_dialog->Session().GetSelectedOption()); }

private slots:
    // The panel lists the folder's files with their counts and a file that
    // cannot be read with why; the filter narrows it by name; activating a
    // file asks the save question first and opens it. Fails if the panel
    // opens without asking, or lists what it cannot read as a file read.
    void opensAFileFromThePanel()
    {
        OpenFolder("panel");
        ConversationsPanel &panel = m_dialog->Conversations();
        Show(panel);
        const FolderTreeModel::Sums &total = panel.GetModel().Total();
        QCOMPARE(total.files, 3);
        QCOMPARE(total.unreadable, 1);
        QCOMPARE(Cell(Entry("quests/mill.dlg"), FolderTreeModel::PagesColumn), QStringLiteral("2"));
        QCOMPARE(Cell(Entry("inn.dlg"), FolderTreeModel::PagesColumn), QStringLiteral("1"));
        QVERIFY(Cell(Entry("bad.dlg"), FolderTreeModel::NoteColumn).startsWith("cannot be read: "));
        QCOMPARE(Cell(Entry("bad.dlg"), FolderTreeModel::PagesColumn), QString());
        QVERIFY(panel.summary->text().contains("3 files"));

        panel.filterEdit->setText(QStringLiteral("MILL"));
        QVERIFY(panel.ViewIndexOf(Entry("quests/mill.dlg")).isValid());
        QVERIFY(!panel.ViewIndexOf(Entry("inn.dlg")).isValid());

        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(0), "Inn", "changed");
        m_prompter.answers << Prompter::No;
        Enter(panel.fileView, panel.ViewIndexOf(Entry("quests/mill.dlg")));
        const QString asked = Asked().join('\n');
        QVERIFY2(asked.contains("Save changes to \"" + In(QStringLiteral("inn.dlg")) + "\"?"), qPrintable(asked));
        QCOMPARE(Title(), QStringLiteral("mill.dlg - Quorvel Dialog Editor"));
        QVERIFY(Read(In(QStringLiteral("inn.dlg"))).contains("{1}{Hello}"));
        // The open file is marked; activating it again opens nothing.
        QCOMPARE(panel.GetModel().data(panel.GetModel().IndexOf(Entry("quests/mill.dlg")), Qt::FontRole).value<QFont>().bold(), true);
        Enter(panel.fileView, panel.ViewIndexOf(Entry("quests/mill.dlg")));
        QCOMPARE(Asked(), QStringList());
    }

    // Another program saves a file whole, adds one and takes one away: the
    // panel follows each within its watcher's delay. Fails if the watch of
    // a file replaced by a rename is lost, or a new folder goes unseen.
    void followsFilesChangedOnDisk()
    {
        OpenFolder("disk");
        Show(m_dialog->Conversations());
        const std::string mill = Entry("quests/mill.dlg");
        const QString temporary = In(QStringLiteral("quests/.mill.tmp"));
        for (const int pages : {3, 4}) {
            QByteArray text = kMill;
            for (int p = 2; p < pages; ++p)
                text += QByteArray("// [LABEL] More\n{") + QByteArray::number(41 + p) + "}{More}{More}{}{}{}{}\n";
            QFile file(temporary);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
            file.close();
            QVERIFY(std::rename(Sys(temporary).c_str(), mill.c_str()) == 0);
            QTRY_COMPARE(Cell(mill, FolderTreeModel::PagesColumn), QString::number(pages));
        }
        QVERIFY(QDir().mkpath(In(QStringLiteral("new"))));
        Write(QStringLiteral("disk/new/ferry.dlg"), kInn);
        QTRY_COMPARE(m_dialog->Conversations().GetModel().Total().files, 4);
        QVERIFY(QFile::remove(In(QStringLiteral("bad.dlg"))));
        QTRY_COMPARE(m_dialog->Conversations().GetModel().Total().unreadable, 0);
        QCOMPARE(m_dialog->Conversations().GetModel().Total().files, 3);
    }

    // Find in every file lists the matches by file, the open document as
    // it stands in the window; activating one opens its file at its page
    // with its option selected. Fails if the open file is searched as it
    // is on disk, or a match opens the wrong page.
    void opensAMatchFromTheFolderFind()
    {
        OpenFolder("find");
        FindBar &bar = m_dialog->Find();
        bar.Open(false);
        bar.scope->setCurrentIndex(FindBar::AllFiles);
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(0), "Inn by the millstone", "");
        bar.findEdit->setText(QStringLiteral("millstone"));
        QTRY_VERIFY(bar.IsUpToDate() && bar.results->topLevelItemCount() == 2);
        QCOMPARE(bar.results->topLevelItem(0)->text(0), QStringLiteral("inn.dlg (1)"));
        QCOMPARE(bar.results->topLevelItem(1)->text(0), QStringLiteral("quests/mill.dlg (1)"));
        QCOMPARE(bar.summary->text(), QStringLiteral("2 matches in 2 texts in 2 files"));

        QTreeWidgetItem *match = bar.results->topLevelItem(1)->child(0);
        QCOMPARE(match->text(1), QStringLiteral("option 1 speech"));
        m_prompter.answers << Prompter::No;
        bar.results->setFocus();
        bar.results->setCurrentItem(match);
        QTest::keyClick(bar.results, Qt::Key_Return);
        QVERIFY(Asked().join('\n').contains("Save changes"));
        QCOMPARE(Title(), QStringLiteral("mill.dlg - Quorvel Dialog Editor"));
        QCOMPARE(Shown(), QStringLiteral("Wheel 0"));
        // The inn's changes are gone, and so is its match; the match
        // chosen stays chosen.
        QTRY_VERIFY(bar.IsUpToDate() && bar.results->topLevelItemCount() == 1);
        QCOMPARE(bar.results->currentItem()->text(1), QStringLiteral("option 1 speech"));
        // A file written by another program is looked through too, and F3
        // goes on to its match.
        Write(QStringLiteral("find/zeta.dlg"), "{1}{A millstone}{A millstone}{}{}{}{}\n");
        QTRY_VERIFY(bar.IsUpToDate() && bar.results->topLevelItemCount() == 2);
        bar.Step(1);
        QCOMPARE(Title(), QStringLiteral("zeta.dlg - Quorvel Dialog Editor"));
        QCOMPARE(bar.results->currentItem()->text(1), QStringLiteral("page speech"));
    }

    // The uses panel marks a name tested but never set and one set but
    // never tested, and activating a use opens its file there.
    void usesPanelLeadsToAUse()
    {
        OpenFolder("uses");
        UsesPanel &panel = m_dialog->Uses();
        Show(panel);
        QTRY_VERIFY(panel.IsUpToDate());
        const UsesModel &model = panel.GetModel();
        QCOMPARE(model.rowCount(), 4); // Flag, MillDone, MillQuest, SetFlag
        const auto row = [&model](const char *name) { return model.IndexOf(name).data().toString(); };
        QCOMPARE(row("MillDone"), QStringLiteral("MillDone: tested 1, set 1"));
        QCOMPARE(row("MillQuest"), QStringLiteral("MillQuest: tested 1, never set"));
        QCOMPARE(row("SetFlag"), QStringLiteral("SetFlag: set 1, never tested"));
        QVERIFY(!model.IndexOf("MillQuest").data(Qt::DecorationRole).isNull());
        QVERIFY(model.IndexOf("MillDone").data(Qt::DecorationRole).isNull());
        QCOMPARE(panel.summary->text(), QStringLiteral("4 names: 1 set but never tested, 2 tested but never set"));

        const QModelIndex set = panel.ViewIndexOf("MillDone", 1);
        QCOMPARE(set.data().toString(), QStringLiteral("set at quests/mill.dlg:5, page \"Wheel\", option 1: SetFlag(MillDone)"));
        Enter(panel.nameView, set);
        QCOMPARE(Title(), QStringLiteral("mill.dlg - Quorvel Dialog Editor"));
        QCOMPARE(Shown(), QStringLiteral("Wheel 0"));
    }

    // Replace in the folder asks first, with Cancel as the answer Enter
    // gives, leaves a file with unsaved changes out and names it, writes
    // the rest and reads the open file again; the undo puts every file back
    // byte for byte. Fails if Cancel writes, the open changes are
    // overwritten, or the undo is offered when there is nothing to undo.
    void replaceInTheFolderAndUndo()
    {
        OpenFolder("replace");
        const QByteArray inn = Read(In(QStringLiteral("inn.dlg")));
        const QByteArray mill = Read(In(QStringLiteral("quests/mill.dlg")));
        QAction *undo = Find<QAction>("actionUndoReplaceInFiles");
        QTRY_VERIFY(m_dialog->FolderCommand().IsIdle());
        QVERIFY(!undo->isEnabled());
        Show(m_dialog->Conversations());
        FindBar &bar = m_dialog->Find();
        bar.Open(true);
        bar.scope->setCurrentIndex(FindBar::AllFiles);
        bar.findEdit->setText(QStringLiteral("Flag("));
        bar.replaceEdit->setText(QStringLiteral("Mark("));
        const auto replace = [&](Prompter::Answer answer) {
            m_prompter.pressEnter = answer == Prompter::Cancel;
            if (answer != Prompter::Cancel)
                m_prompter.answers << answer;
            bar.ReplaceAll();
            const bool done = QTest::qWaitFor([this] { return m_dialog->FolderCommand().IsIdle(); });
            m_prompter.pressEnter = false;
            return done ? Asked().join('\n') : QStringLiteral("(the replace did not end)");
        };

        // Modified here: the open file is left out.
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(0), "Inn", "changed");
        QString asked = replace(Prompter::Cancel);
        QVERIFY2(asked.contains("Replace all will change 2 texts in 1 file:\n  quests/mill.dlg: 2 texts"), qPrintable(asked));
        // So is a file that cannot be read.
        QVERIFY2(asked.contains("2 files are left out:\n  bad.dlg: cannot read it: it holds no dialog page, so it is not a dialog file\n"
                                "  inn.dlg: it is open with unsaved changes in a Talkwright window"),
                 qPrintable(asked));
        QCOMPARE(Read(In(QStringLiteral("quests/mill.dlg"))), mill);

        m_dialog->Session().GetUndoStack().undo();
        QVERIFY(!m_dialog->Session().IsModified());
        asked = replace(Prompter::Yes);
        QVERIFY2(asked.contains("Replace all will change 3 texts in 2 files:"), qPrintable(asked));
        QVERIFY2(asked.contains("2 files written.") && asked.contains("the open file, was written"), qPrintable(asked));
        QVERIFY(Read(In(QStringLiteral("quests/mill.dlg"))).contains("{Mark(MillQuest)}{}{SetMark(MillDone)}"));
        QCOMPARE(Conditions(), QStringLiteral("Mark(MillDone)"));
        QVERIFY(!m_dialog->Session().IsModified());
        QVERIFY(undo->isEnabled());
        QTRY_VERIFY(m_dialog->Folder().IsUpToDate());

        m_prompter.answers << Prompter::Yes;
        undo->trigger();
        QTRY_VERIFY(m_dialog->FolderCommand().IsIdle());
        asked = Asked().join('\n');
        QVERIFY2(asked.contains("puts 2 files back") && asked.contains("2 files put back as they were."), qPrintable(asked));
        QCOMPARE(Read(In(QStringLiteral("inn.dlg"))), inn);
        QCOMPARE(Read(In(QStringLiteral("quests/mill.dlg"))), mill);
        QCOMPARE(Conditions(), QStringLiteral("Flag(MillDone)"));
        QVERIFY(!undo->isEnabled());
    }

    // File > Open folder... shows the folder chosen and remembers it: a
    // window started without a file shows it again; one started on a file
    // outside it follows the file.
    void chosenFolderIsRemembered()
    {
        OpenFolder("chosen");
        m_prompter.fileNames << In(QStringLiteral("quests"));
        Find<QAction>("actionOpenFolder")->trigger();
        QCOMPARE(m_dialog->Folder().GetFolder(), Entry("quests"));
        QVERIFY(m_dialog->Conversations().isVisible());
        QTRY_VERIFY(m_dialog->Folder().IsUpToDate());
        QCOMPARE(m_dialog->Conversations().GetModel().Total().files, 1);
        QVERIFY(Start());
        QCOMPARE(m_dialog->Folder().GetFolder(), Entry("quests"));
        QVERIFY(Start(In(QStringLiteral("inn.dlg"))));
        QCOMPARE(m_dialog->Folder().GetFolder(), GameFolder::Spelling(Sys(m_folder)));
        Asked();
    }
    // No other test starts with the folder chosen here.
    void cleanupTestCase() { QSettings().remove(QStringLiteral("recentFolder")); }
};

QTEST_MAIN(TestFolder)
#include "tst_folder.moc"
