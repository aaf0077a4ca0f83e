// Spelling in the editor, with a dictionary the test writes itself: the red
// wavy line under misspelt words in the speech dialogs and the page, the
// context menu's suggestions, "Add to word list" and "Ignore", the problems
// panel's switch, the settings, and a language without a dictionary.
#include "GuiTestFiles.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "panels/ProblemListModel.h"
#include "panels/ProblemsPanel.h"
#include "session/DocumentSpelling.h"
#include "ui/SharedDictionary.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

const char kLanguage[] = "en_TT";

// Two pages: the first named by a word no dictionary has, with a misspelt
// NPC speech, an option misspelt on purpose for PCs below 8 and one in
// generated speech; the second with a misspelt option.
const QByteArray kFile = "// [LABEL] Quorvel\n{1}{Welcome to Quorvel. The raod is long.}{Welcome to Quorvel. The raod is long.}{}{}{}{}\n"
                         "{2}{Me tell yuo road}{}{-8}{}{21}{}\n{3}{R:20,mill,ferry}{}{1}{}{}{}\n"
                         "// [LABEL] Mill\n{21}{Hello}{Hello}{}{}{}{}\n{22}{The road}{}{1}{}{1}{}\n{23}{Tell me of the nroth.}{}{1}{}{}{}\n";

// The words a box shows underlined with the red wavy line, in order.
QStringList Underlined(QPlainTextEdit *edit)
{
    QStringList words;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline && range.format.underlineColor() == Qt::red)
                words << block.text().mid(range.start, range.length);
        }
    }
    return words;
}

} // namespace

class TestSpelling : public GuiTest {
    Q_OBJECT

    TestFiles m_dictionaries;

    DocumentSpelling &Spelling() { return DocumentSpelling::Of(m_dialog->Session()); }
    // The dictionary loaded and the known words made for the document.
    void WaitForSpelling()
    {
        SharedDictionary::Instance().Checker();
        SharedDictionary::Instance().WaitForLoading();
        QTRY_VERIFY(Spelling().IsUpToDate());
    }
    // Opens the context menu at the character of edit's text at index, and
    // runs choose on it while it is open; what it offered, by object name
    // and text.
    QStringList InMenu(QPlainTextEdit *edit, int index, const std::function<void(QMenu *)> &choose)
    {
        QStringList offered;
        QTimer::singleShot(0, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction *action : menu->actions()) {
                if (!action->isSeparator() && !action->objectName().isEmpty())
                    offered << action->objectName() + QLatin1Char(' ') + action->text();
            }
            choose(menu);
            menu->close();
        });
        QTextCursor cursor(edit->document());
        cursor.setPosition(index);
        emit edit->customContextMenuRequested(edit->cursorRect(cursor).center() + QPoint(1, 0));
        return offered;
    }
    static void Choose(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action->trigger();
        }
        QFAIL(qPrintable("no entry " + text));
    }

private slots:
    void initTestCase()
    {
        m_dictionaries.Write(std::string(kLanguage) + ".aff", "SET UTF-8\nTRY esianrtolcdugmfphbyvkw\n");
        m_dictionaries.Write(std::string(kLanguage) + ".dic", "15\nwelcome\nto\nthe\nroad\nis\nlong\nme\ntell\nyou\nof\nnorth\nhello\nmill\nferry\nall\n");
        qputenv("DICPATH", QByteArray::fromStdString(m_dictionaries.Dir()));
    }
    void cleanupTestCase() { SharedDictionary::Instance().SetSettings(QStringLiteral("en_US"), false); }
    // Each test begins with no word list and nothing ignored.
    void init()
    {
        GuiTest::init();
        QFile::remove(Path(QStringLiteral("talkwright-words.txt")));
        SharedDictionary::Instance().SetSettings(QString::fromLatin1(kLanguage), false);
        SharedDictionary::Instance().Reload();
    }

    // The NPC speech dialog underlines the misspelt words of unique speech
    // as they are typed (not those of a section switched off), and choosing
    // a suggestion replaces the word as typing would: the box's undo takes
    // it back, OK stores it. Page names are words. Fails if the underline
    // lags a keystroke, or the replacement misses the word's place.
    void speechDialogUnderlinesAndReplaces()
    {
        Open(kFile);
        WaitForSpelling();
        QTRY_COMPARE(Underlined(Find<QPlainTextEdit>("speechEdit")), QStringList{"raod"});
        CNpcSpeechDlg dialog(Page(), Doc(), m_dialog.get(), &Spelling());
        dialog.show();
        auto *male = In<QPlainTextEdit>(&dialog, "maleText");
        QTRY_COMPARE(Underlined(male), QStringList{"raod"});
        QCOMPARE(Underlined(In<QPlainTextEdit>(&dialog, "femaleText")), QStringList());
        male->moveCursor(QTextCursor::End);
        QTest::keyClicks(male, " Teh");
        QCOMPARE(Underlined(male), (QStringList{"raod", "Teh"}));

        const int at = static_cast<int>(male->toPlainText().indexOf("raod")) + 1;
        const QStringList offered = InMenu(male, at, [](QMenu *menu) { Choose(menu, QStringLiteral("road")); });
        QVERIFY2(offered.contains("suggestion road") && offered.contains("addToWordList &Add to word list")
                     && offered.contains("ignoreWord &Ignore"), qPrintable(offered.join(", ")));
        QVERIFY2(offered.size() > 3, "the box's usual entries stay");
        QCOMPARE(male->toPlainText(), QStringLiteral("Welcome to Quorvel. The road is long. Teh"));
        QCOMPARE(Underlined(male), QStringList{"Teh"});
        male->undo();
        QCOMPARE(male->toPlainText(), QStringLiteral("Welcome to Quorvel. The raod is long. Teh"));
        male->redo();

        QTest::mouseClick(In<QWidget>(&dialog, "maleGenerated"), Qt::LeftButton);
        QCOMPARE(Underlined(male), QStringList());
        QTest::mouseClick(In<QWidget>(&dialog, "maleUnique"), Qt::LeftButton);
        QTest::mouseClick(In<QWidget>(&dialog, "different"), Qt::LeftButton);
        QCOMPARE(Underlined(In<QPlainTextEdit>(&dialog, "femaleText")), QStringList{"raod"});
        QCOMPARE(PressOk(&dialog), QString());
        QCOMPARE(Page()->GetSpeech(), std::string("Welcome to Quorvel. The road is long. Teh"));
    }

    // The option dialog follows the intelligence check as it is typed: an
    // option shown only to PCs below some intelligence is misspelt on
    // purpose, unless the settings (Tools > Spelling...) say to spell it.
    void optionDialogFollowsTheIntelligenceCheck()
    {
        Open(kFile);
        WaitForSpelling();
        CPcOptionDlg dialog(Page()->GetOption(0), Doc(), m_dialog.get(), &Spelling());
        dialog.show();
        auto *speech = In<QPlainTextEdit>(&dialog, "speech");
        QCOMPARE(Underlined(speech), QStringList());
        Act(&dialog, {"checkOff"});
        QCOMPARE(Underlined(speech), QStringList{"yuo"});
        Act(&dialog, {"checkOn", "comparison=at least"});
        QCOMPARE(Underlined(speech), QStringList{"yuo"});
        Act(&dialog, {"comparison=below", "intelligence=0"}); // a below check that makes no sense is one still
        QCOMPARE(Underlined(speech), QStringList());

        WhenModal({"language?en_TT", "lowIntelligence?off", "lowIntelligence", "ok"});
        Find<QAction>("actionSpelling")->trigger();
        QCOMPARE(m_dialogsRun, 1);
        QVERIFY(SharedDictionary::Instance().GetOptions().lowIntelligenceOptions);
        QCOMPARE(Underlined(speech), QStringList{"yuo"});
        Act(&dialog, {"generated"});
        QCOMPARE(Underlined(speech), QStringList());
    }

    // "Add to word list" puts the word in a list beside the file, made
    // there, and the page's underline goes; "Ignore" takes a word as right
    // everywhere. The page view's text cannot be typed in: it offers no
    // suggestions.
    void addToWordListAndIgnore()
    {
        const QString list = Path(QStringLiteral("talkwright-words.txt"));
        Open(kFile);
        WaitForSpelling();
        QSignalSpy told(&Spelling(), &DocumentSpelling::message);
        auto *shown = Find<QPlainTextEdit>("speechEdit");
        QTRY_COMPARE(Underlined(shown), QStringList{"raod"});
        const QStringList offered = InMenu(shown, static_cast<int>(shown->toPlainText().indexOf("raod")),
                                           [](QMenu *menu) { Choose(menu, QStringLiteral("&Add to word list")); });
        QVERIFY2(!offered.join(' ').contains("suggestion"), qPrintable(offered.join(", ")));
        QCOMPARE(Read(list), QByteArray("raod\n"));
        QCOMPARE(Underlined(shown), QStringList());
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0][0].toString(), QStringLiteral("Added \"raod\" to ") + list);
        QTRY_VERIFY(Spelling().IsUpToDate()); // the list read again keeps it
        QCOMPARE(Underlined(shown), QStringList());

        m_dialog->Session().SetCurrentPage(Doc()->GetPage(1));
        CPcOptionDlg dialog(Page()->GetOption(1), Doc(), m_dialog.get(), &Spelling());
        dialog.show();
        auto *speech = In<QPlainTextEdit>(&dialog, "speech");
        QTRY_COMPARE(Underlined(speech), QStringList{"nroth"});
        InMenu(speech, static_cast<int>(speech->toPlainText().indexOf("nroth")) + 3, [](QMenu *menu) { Choose(menu, QStringLiteral("&Ignore")); });
        QCOMPARE(Underlined(speech), QStringList());
        QCOMPARE(Spelling().Misspelt(QStringLiteral("nroth, Nroth")).size(), size_t(0));
    }

    // The problems panel's switch adds the misspelt words the core finds,
    // each leading to its page and option, and takes them away again.
    void problemsSwitchShowsMisspeltWords()
    {
        Open(kFile);
        ProblemsPanel &problems = m_dialog->Problems();
        problems.show();
        problems.ShowSpelling(false);
        WaitForSpelling();
        QTRY_VERIFY(problems.IsUpToDate());
        QVERIFY(!problems.windowTitle().contains("misspelt"));
        QTest::mouseClick(problems.spellingSwitch, Qt::LeftButton);
        QTRY_VERIFY(problems.IsUpToDate());
        QStringList spelt;
        int nroth = -1;
        const std::vector<ProblemListModel::Entry> &entries = problems.GetModel().GetEntries();
        for (size_t i = 0; i < entries.size(); ++i) {
            const Finding &f = entries[i].finding;
            if (f.severity == Finding::Note) {
                spelt << QStringLiteral("%1 %2 %3: %4").arg(f.line).arg(f.page).arg(f.option).arg(QString::fromStdString(f.message));
                nroth = f.message.find("nroth") != std::string::npos ? static_cast<int>(i) : nroth;
            }
        }
        QCOMPARE(spelt, (QStringList{"2 0 -1: spelling: \"raod\"", "8 1 1: spelling: \"nroth\""}));
        QVERIFY2(problems.windowTitle().endsWith(", 2 misspelt words)"), qPrintable(problems.windowTitle()));
        QTreeView *view = problems.problemView;
        emit view->activated(view->model()->index(nroth, 0));
        QCOMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(m_dialog->Session().GetSelectedOption(), 1);

        QTest::mouseClick(problems.spellingSwitch, Qt::LeftButton);
        QTRY_VERIFY(problems.IsUpToDate());
        QVERIFY(!problems.windowTitle().contains("misspelt"));
    }

    // A language without a dictionary is said once on the status line, and
    // spelling is off: nothing underlined, the problems' switch disabled.
    void missingDictionaryIsSaidOnce()
    {
        QSignalSpy told(&SharedDictionary::Instance(), &SharedDictionary::unavailable);
        SharedDictionary::Instance().SetSettings(QStringLiteral("zz_ZZ"), false);
        Open(kFile);
        WaitForSpelling();
        QCOMPARE(told.size(), 1);
        QCOMPARE(QString::fromStdString(m_dialog->GetStatusLine().GetMessage()),
                 QStringLiteral("Spelling is off: no dictionary for zz_ZZ (the Debian package hunspell-zz-zz provides it)."));
        QCOMPARE(Underlined(Find<QPlainTextEdit>("speechEdit")), QStringList());
        QVERIFY(!m_dialog->Problems().spellingSwitch->isEnabled());
        SharedDictionary::Instance().Reload();
        WaitForSpelling();
        QCOMPARE(told.size(), 1);
        SharedDictionary::Instance().SetSettings(QString::fromLatin1(kLanguage), false);
        WaitForSpelling();
        QTRY_COMPARE(Underlined(Find<QPlainTextEdit>("speechEdit")), QStringList{"raod"});
        QVERIFY(m_dialog->Problems().spellingSwitch->isEnabled());
    }
};

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
