// File > Compare with... and the differences panel, as the window shows them.
#include "GuiTestFiles.h"
#include "panels/DifferenceModel.h"
#include "panels/DifferencesPanel.h"

#include <QTreeView>

class TestDifferences : public GuiTest {
    Q_OBJECT

    static constexpr const char *kFile = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{To the mill}{}{1}{}{21}{}\n{3}{Bye}{}{1}{}{}{}\n"
                                         "// [LABEL] Mill\n{21}{Grind}{Grind}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n";
    // The same conversation, but the mill was named otherwise and the way
    // there was said otherwise.
    static constexpr const char *kOther = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{To the old mill}{}{1}{}{21}{}\n{3}{Bye}{}{1}{}{}{}\n"
                                          "// [LABEL] Old mill\n{21}{Grind}{Grind}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n";

    DifferencesPanel &Panel() { return m_dialog->Differences(); }

    // Runs File > Compare with... on the file named, and waits for the list.
    void CompareWith(const QString &path)
    {
        m_prompter.fileNames << path;
        Find<QAction>("actionCompareWith")->trigger();
        QTRY_VERIFY(Panel().IsUpToDate());
    }

    // The entries as the panel lists them, one a line, indented by level.
    static QString Listed(const std::vector<DifferenceModel::Entry> &entries, const QString &indent = {})
    {
        QString text;
        for (const DifferenceModel::Entry &entry : entries)
            text += indent + entry.text + QLatin1Char('\n') + Listed(entry.children, indent + QStringLiteral("  "));
        return text;
    }
    QString Listed() { return Listed(Panel().GetModel().GetEntries()); }

    // Activates an entry, as Enter or a double click does.
    void Activate(const QModelIndex &index)
    {
        QTreeView *view = Panel().differenceView;
        QVERIFY(index.isValid());
        view->setCurrentIndex(index);
        emit view->activated(index);
    }

private slots:
    // A page renamed and an option's speech changed are both listed, each
    // under its page and as dlgtool diff says it, the changed words marked;
    // activating one shows its page, with the option selected. Fails if the
    // versions are compared the wrong way round, by page number, or if an
    // entry leads to the wrong page or option.
    void listsWhatChangedAndShowsItsPage()
    {
        Open(kFile);
        CompareWith(Write(QStringLiteral("other.dlg"), kOther));
        QVERIFY(Panel().isVisible());
        QCOMPARE(Panel().windowTitle(), QStringLiteral("Differences from other.dlg (2 pages)"));
        QCOMPARE(Listed(), QStringLiteral("page \"Inn\": changed\n"
                                          "  option 1 \"To the mill\": changed\n"
                                          "    speech: To the [-old -]mill\n"
                                          "page \"Mill\": renamed from \"Old mill\"\n"));
        // On the screen, the word taken out is struck through.
        const QAbstractItemModel *model = Panel().differenceView->model();
        const QModelIndex speech = model->index(0, 0, model->index(0, 0, model->index(0, 0)));
        QVERIFY(model->data(speech, DifferenceModel::MarkedRole).toString().contains(QStringLiteral(">old </s>mill")));

        Activate(model->index(1, 0));
        QCOMPARE(Page(), Doc()->GetPage(1));
        Activate(speech);
        QCOMPARE(Page(), Doc()->GetPage(0));
        QCOMPARE(List()->currentRow(), 0);
        QVERIFY(!Doc()->IsModified());
    }

    // The list follows the document: an edit that undoes a difference takes
    // it off, its undo brings it back; another document ends the comparison.
    void followsTheDocument()
    {
        Open(kFile);
        CompareWith(Write(QStringLiteral("other.dlg"), kOther));
        DialogLine &option = *Doc()->GetPage(0)->GetOption(0);
        const DialogLine::Content before = option.GetContent();
        option.SetSpeech("To the old mill");
        m_dialog->Session().ChangedLine(*Doc()->GetPage(0), option, before, QStringLiteral("Edit option"));
        QTRY_VERIFY(Panel().IsUpToDate());
        QCOMPARE(Listed(), QStringLiteral("page \"Mill\": renamed from \"Old mill\"\n"));
        Find<QAction>("actionUndo")->trigger();
        QTRY_VERIFY(Panel().IsUpToDate());
        QVERIFY(Listed().startsWith(QStringLiteral("page \"Inn\": changed\n")));

        Find<QAction>("actionNew")->trigger();
        QTRY_VERIFY(Panel().IsUpToDate());
        QCOMPARE(Listed(), QString());
        QCOMPARE(Panel().windowTitle(), QStringLiteral("Differences"));
    }

    // Compare with... proposes the document's own file, the version last
    // saved: taking it lists the edits since. A file that cannot be read is
    // named with the reason, and leaves the comparison as it was; Cancel too.
    void comparesWithTheSavedVersion()
    {
        Open(kFile);
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(1), "Windmill", "");
        CompareWith(Path(QStringLiteral("nav.dlg")));
        QCOMPARE(m_prompter.proposed, QStringList{Path(QStringLiteral("nav.dlg"))});
        QCOMPARE(Listed(), QStringLiteral("page \"Windmill\": renamed from \"Mill\"\n"));
        Asked();

        CompareWith(Write(QStringLiteral("notes.dlg"), "just some notes\n"));
        const QStringList asked = Asked();
        QCOMPARE(asked.size(), 2);
        QVERIFY2(asked[1].startsWith(QStringLiteral("Compare with|\"notes.dlg\" cannot be read: ")), qPrintable(asked[1]));
        CompareWith(QString());
        QCOMPARE(Asked(), QStringList{"Compare with"});
        QCOMPARE(Panel().windowTitle(), QStringLiteral("Differences from nav.dlg (1 page)"));
    }
};

QTEST_MAIN(TestDifferences)
#include "tst_differences.moc"
