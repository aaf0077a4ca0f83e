// The problems panel and the map, as the window shows them.
#include "GuiTestFiles.h"
#include "panels/MapPanel.h"
#include "panels/ProblemListModel.h"
#include "panels/ProblemsPanel.h"
#include "model/Windows1252.h"
#include "CheckCases.h"

#include <QTreeView>

class TestProblems : public GuiTest {
    Q_OBJECT

    // The panel's findings as check prints them, without the file's name.
    QString Findings()
    {
        QString text;
        for (const ProblemListModel::Entry &entry : m_dialog->Problems().GetModel().GetEntries()) {
            const Finding &f = entry.finding;
            text += (f.line > 0 ? QStringLiteral(":%1").arg(f.line) : QString()) + QStringLiteral(": ") + Finding::SeverityName(f.severity)
                    + QStringLiteral(": ") + QString::fromStdString(Windows1252::ToUtf8(f.message)) + QLatin1Char('\n');
        }
        return text;
    }

private slots:
    // The same rules and order as dlgtool check, on every file of check's
    // tests that the editor opens (it refuses the unreadable ones). Fails
    // if the panel checks a copy that lost file lines, links or dropped lines.
    void findingsEqualCheck()
    {
        for (const CheckCase &c : CheckCases()) {
            if (c.findings.find("cannot read the file") != std::string::npos)
                continue;
            QVERIFY(Start(Write(QStringLiteral("x.dlg"), QByteArray::fromStdString(c.input))));
            QTRY_VERIFY(m_dialog->Problems().IsUpToDate());
            QCOMPARE(Findings(), QString::fromStdString(c.findings));
        }
    }

    // New pages have no numbers until they are saved: none is a finding.
    // A finding on a line not yet saved names the line a save gives it,
    // marked, and never "line 0", in a new document too; a save gives the
    // lines their place in the file and takes the mark away.
    void findingsOnUnsavedLines()
    {
        Open("// [LABEL] Inn\n{1}{Hi}{Hi}{}{}{}{}\n{2}{Bye}{}{1}{}{}{}\n");
        ProblemsPanel &problems = m_dialog->Problems();
        Press("newPageButton");
        Press("newPageButton");
        QTRY_VERIFY(problems.IsUpToDate());
        const QString found = Findings();
        QVERIFY2(!found.contains("has the number"), qPrintable(found));
        QVERIFY2(found.contains(":6: error: page \"NewPage0001\" (line 6, not yet saved) would not read back as a page"), qPrintable(found));
        QAbstractItemModel *rows = problems.problemView->model();
        QCOMPARE(rows->index(0, ProblemListModel::LineColumn).data().toString(), QStringLiteral("6*"));

        // Saved, the pages stand where the file has them, with no mark.
        m_prompter.answers << Prompter::Yes; // save pages that would not read back
        Find<QAction>("actionSave")->trigger();
        QTRY_VERIFY(problems.IsUpToDate());
        QVERIFY2(Findings().contains(":6: error: page \"NewPage0001\" (line 6) would"), qPrintable(Findings()));
        QCOMPARE(rows->index(0, ProblemListModel::LineColumn).data().toString(), QStringLiteral("6"));

        Find<QAction>("actionNew")->trigger();
        QTRY_VERIFY(problems.IsUpToDate());
        QVERIFY2(!Findings().contains(":0") && Findings().contains(":2: error: page \"NewPage0003\" (line 2, not yet saved)"), qPrintable(Findings()));
    }

    // Edits, undo, activation and the map's clicks reach the panels.
    void panelsFollowEdits()
    {
        Open("// [LABEL] Inn\n{1}{Hi}{Hi}{}{}{}{}\n{2}{Bye}{}{1}{}{}{}\n// [LABEL] Lost\n{21}{x}{x}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n");
        ProblemsPanel &problems = m_dialog->Problems();
        MapPanel &map = m_dialog->Map();
        QTRY_VERIFY(problems.IsUpToDate() && map.IsUpToDate());
        QCOMPARE(problems.windowTitle(), QStringLiteral("Problems (0 errors, 1 warning)"));
        QCOMPARE(map.view->GetMap()->layout.nodes.size(), size_t(2));
        QCOMPARE(map.view->GetDimmed().nodes, (std::vector<bool>{false, true}));

        QTreeView *list = problems.problemView;
        list->setCurrentIndex(list->model()->index(0, 0));
        emit list->activated(list->currentIndex());
        QCOMPARE(Page(), Doc()->GetPage(1));
        QTest::mouseClick(map.view->viewport(), Qt::LeftButton, {}, map.view->PagePoint(0));
        QCOMPARE(Page(), Doc()->GetPage(0));

        m_dialog->Session().DeletePage(1);
        QTRY_VERIFY(problems.IsUpToDate() && map.IsUpToDate());
        QCOMPARE(problems.windowTitle(), QStringLiteral("Problems (0 errors, 0 warnings)"));
        QCOMPARE(map.view->GetMap()->layout.nodes.size(), size_t(1));
        Find<QAction>("actionUndo")->trigger();
        QTRY_VERIFY(problems.IsUpToDate() && map.IsUpToDate());
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(map.view->GetMap()->layout.nodes.size(), size_t(2));
    }
};

QTEST_MAIN(TestProblems)
#include "tst_problems.moc"
