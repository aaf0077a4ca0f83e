// The outline, the page commands and the find bar, as the window shows them.
#include "GuiTestFiles.h"
#include "panels/FindBar.h"
#include "app/LinksHereLabel.h"
#include "panels/OutlinePanel.h"

#include <QHeaderView>
#include <QTreeView>
#include <QTreeWidget>

class TestOutline : public GuiTest {
    Q_OBJECT

    QTreeView *Pages() { return m_dialog->Outline().pageView; }
    QStringList Rows()
    {
        QStringList rows;
        for (int r = 0; r < Pages()->model()->rowCount(); ++r)
            rows << Pages()->model()->index(r, 0).data().toString() + QLatin1Char('/') + Pages()->model()->index(r, 2).data().toString();
        return rows;
    }
    void Trigger(const char *action) { Find<QAction>(action)->trigger(); }

    static constexpr const char *kThreePages = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{To the mill}{}{1}{}{21}{}\n{3}{Bye}{}{1}{}{}{}\n"
                                               "// [LABEL] Mill\n// [DESCRIPTION] the old mill\n{21}{Grind}{Grind}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n"
                                               "// [LABEL] Ferry\n{41}{Mill? no}{Mill? no}{}{}{}{}\n{42}{mill}{}{1}{}{21}{}\n";

private slots:
    // The outline follows edits, undo and redo, marks the page on display,
    // filters, and shows the page of the entry activated.
    void outlineStaysInStep()
    {
        Open(kThreePages);
        QCOMPARE(Rows(), (QStringList{"\u25B8 Inn/2", "Mill/1", "Ferry/1"}));
        Press("newPageButton");
        QCOMPARE(Rows().size(), 4);
        QCOMPARE(Rows().last(), QStringLiteral("\u25B8 NewPage0001/0"));
        Trigger("actionUndo");
        QCOMPARE(Rows(), (QStringList{"\u25B8 Inn/2", "Mill/1", "Ferry/1"}));

        m_dialog->Outline().filterEdit->setText(QStringLiteral("OLD"));
        QCOMPARE(Rows(), QStringList{"Mill/1"});
        QTest::mouseClick(Pages()->viewport(), Qt::LeftButton, {}, Pages()->visualRect(Pages()->model()->index(0, 0)).center());
        QCOMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(Rows(), QStringList{"\u25B8 Mill/1"});
        QCOMPARE(Find<LinksHereLabel>("linksHere")->GetLinks().size(), 2);
        // An edit that shows its page again with another link to it lists
        // that link; undo takes it away again.
        auto back = std::make_unique<DialogLine>();
        back->SetTarget(Page());
        m_dialog->Session().AddOption(*Page(), std::move(back));
        QCOMPARE(Find<LinksHereLabel>("linksHere")->GetLinks().size(), 3);
        Trigger("actionUndo");
        QCOMPARE(Find<LinksHereLabel>("linksHere")->GetLinks().size(), 2);
        m_dialog->Outline().filterEdit->clear();

        // Deleting the page says what led to it; undo brings it back, its jumps too.
        m_prompter.answers << Prompter::Yes;
        Trigger("actionDeletePage");
        QVERIFY2(Asked().value(0).contains("2 options on \"Inn\", \"Ferry\" lead to it"), "the question names the links");
        QCOMPARE(Rows(), (QStringList{"\u25B8 Inn/2", "Ferry/1"}));
        QCOMPARE(Doc()->GetPage(0)->GetOption(0)->GetTarget(), nullptr);
        Trigger("actionUndo");
        QCOMPARE(Rows(), (QStringList{"Inn/2", "\u25B8 Mill/1", "Ferry/1"}));
        QCOMPARE(Doc()->GetPage(0)->GetOption(0)->GetTarget(), Doc()->GetPage(1));
        QCOMPARE(Find<QAction>("actionUndo")->text(), QStringLiteral("U&ndo"));
        QCOMPARE(Find<QAction>("actionRedo")->text(), QStringLiteral("Red&o Delete Page"));

        Trigger("actionDuplicatePage");
        Trigger("actionMovePageUp");
        QCOMPARE(Rows(), (QStringList{"Inn/2", "\u25B8 Mill copy/1", "Mill/1", "Ferry/1"}));
    }

    // The names' column is as wide as the widest name, found again when a
    // name changes, while the descriptions keep room and end in view.
    void namesFitTheirColumn()
    {
        Open(kThreePages);
        // A floating outline, wide enough for every name.
        m_dialog->Outline().setFloating(true);
        m_dialog->Outline().show();
        m_dialog->Outline().resize(600, 300);
        QTRY_VERIFY(Pages()->viewport()->width() > 400);
        QHeaderView *header = Pages()->header();
        const auto needs = [this](const QString &name) {
            QFont bold = Pages()->font();
            bold.setBold(true);
            return QFontMetrics(bold).horizontalAdvance(QStringLiteral("\u25B8 ") + name);
        };
        QTRY_VERIFY(header->sectionSize(0) >= needs(QStringLiteral("Ferry")));
        const int before = header->sectionSize(0);
        const QString wide = QStringLiteral("The long way round the mill");
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(2), wide.toStdString(), "");
        QVERIFY(header->sectionSize(0) >= needs(wide));
        QVERIFY(header->sectionSize(0) > before);
        Find<QAction>("actionUndo")->trigger(); // the names measured again
        QCOMPARE(header->sectionSize(0), before);

        // Narrow, the names give way: every column ends inside the list.
        m_dialog->Outline().resize(200, 300);
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(2), wide.toStdString(), "");
        QTRY_VERIFY(header->sectionSize(0) < needs(wide));
        QVERIFY(header->length() <= Pages()->viewport()->width());
        m_dialog->Outline().setFloating(false);
    }

    // Find goes to the page and option of each match in turn; Replace all
    // is one step.
    void findGoesToEachMatch()
    {
        Open(kThreePages);
        Trigger("actionFind");
        FindBar &bar = m_dialog->Find();
        QVERIFY(bar.isVisible());
        QCOMPARE(QApplication::focusWidget(), bar.findEdit);
        QTest::keyClicks(bar.findEdit, QStringLiteral("mill"));
        QTest::keyClick(bar.findEdit, Qt::Key_Return);
        QCOMPARE(bar.results->topLevelItemCount(), 5);
        const QTreeWidgetItem *first = bar.results->topLevelItem(0);
        QCOMPARE((QStringList{first->text(0), first->text(1), first->text(2), first->text(3)}),
                 (QStringList{"Inn", "option 1 speech", "3", "To the mill"}));
        QCOMPARE(first->data(3, Qt::UserRole + 1).toString(), QStringLiteral("To the <b><u>mill</u></b>"));
        QCOMPARE(Page(), Doc()->GetPage(0));
        QCOMPARE(List()->currentRow(), 0);
        Trigger("actionFindNext");
        QCOMPARE(Page(), Doc()->GetPage(1)); // its name
        Trigger("actionFindPrevious");
        Trigger("actionFindPrevious");
        QCOMPARE(Page(), Doc()->GetPage(2));
        QCOMPARE(List()->currentRow(), 0); // "mill", its last match
        QVERIFY(!Doc()->IsModified());

        Trigger("actionReplace");
        bar.replaceEdit->setText(QStringLiteral("{x}"));
        m_prompter.answers << Prompter::Yes;
        Click(&bar, "replaceAllButton");
        const QString asked = Asked().value(0);
        QVERIFY2(asked.contains("change 2 texts") && asked.contains("3 texts cannot take"), qPrintable(asked));
        QCOMPARE(Doc()->GetPage(1)->GetLabel(), std::string("{x}"));
        Trigger("actionUndo");
        QCOMPARE(Doc()->GetPage(1)->GetLabel(), std::string("Mill"));
        QVERIFY(!m_dialog->Session().IsModified());
    }
};

QTEST_MAIN(TestOutline)
#include "tst_outline.moc"
