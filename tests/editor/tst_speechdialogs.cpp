// The two speech dialogs, driven through their controls: what they show,
// what OK writes, what Cancel leaves, and the text they refuse.
#include "GuiTestFiles.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPcOptionDlg.h"

#include <QApplication>
#include <QClipboard>

namespace {

// Three pages, "Start" and two named "Twin" (numbers 21 and 41), read from
// a file; start is Start's line and its options' lines.
std::unique_ptr<DialogFile> MakeFile(const QByteArray &start)
{
    auto file = std::make_unique<DialogFile>();
    file->ReadText(("// [LABEL] Start\n" + start + "\n// [LABEL] Twin\n{21}{Hi}{Hi}{}{}{}{}\n// [LABEL] Twin\n{41}{Hi}{Hi}{}{}{}{}\n").toStdString());
    return file;
}

// The line as a save writes it, without its line end.
QByteArray Written(DialogLine &line)
{
    std::string out;
    line.WriteTo(out);
    return QByteArray::fromStdString(out).trimmed();
}

const QString kRefused = QStringLiteral("Invalid intelligence check entered|It does not make sense to check for intelligence values less than 1");

} // namespace

class TestSpeechDialogs : public GuiTest {
    Q_OBJECT

    // The prompt stands level with its control and ends ten pixels left of it.
    static void ExpectPrompt(QWidget *dialog, const char *label, const QString &text, const char *control)
    {
        auto *prompt = In<QLabel>(dialog, label);
        QWidget *field = In<QWidget>(dialog, control);
        QVERIFY2(prompt->isVisible() && field->isVisible(), label);
        QCOMPARE(prompt->text(), text);
        QCOMPARE(field->y(), prompt->y());
        QCOMPARE(prompt->x() + prompt->width(), field->x() - 10);
    }
    // Which of the parameter controls show; prefix goes before each name.
    static QStringList Visible(QWidget *dialog, const QString &prefix, QStringList names = {"FirstPrompt", "SecondPrompt", "Money", "List", "Number", "Page"})
    {
        names.removeIf([&](const QString &name) { return !In<QWidget>(dialog, qPrintable(prefix + name))->isVisible(); });
        return names;
    }

private slots:
    // The page's line in the file, what is done in the dialog, and the line
    // it leaves ("different": the speech differs by gender).
    void npcDialog_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("opens on the speech") << QByteArray("{1}{R:50,3}{Hello}{}{}{}{}")
            << QStringList{"maleGenerated?on", "maleKind?Rumour", "maleMoney?50", "maleList?3", "maleText?-R:50,3", "different?on",
                           "femaleUnique?on", "femaleText?Hello", "femaleKind?-Greeting", "ok"}
            << QByteArray("{1}{R:50,3}{Hello}{}{}{}{} different");
        // Untouched speech is kept as it stands, whatever it holds: see okWithoutEditsKeepsEveryByte.
        QTest::newRow("typed") << QByteArray("{1}{Hi}{Hi}{}{}{}{}") << QStringList{"maleText=Hello.", "ok"} << QByteArray("{1}{Hello.}{Hello.}{}{}{}{}");
        QTest::newRow("unique mode keeps the code as typed") << QByteArray("{1}{R:50,3}{R:50,3}{}{}{}{}") << QStringList{"maleUnique", "ok"}
                                                            << QByteArray("{1}{R:50,3}{R:50,3}{}{}{}{}");
        QTest::newRow("switching keeps the texts") << QByteArray("{1}{R:50,3}{R:50,3}{}{}{}{}") << QStringList{"maleUnique", "maleGenerated", "ok"}
                                                  << QByteArray("{1}{R:50,3}{R:50,3}{}{}{}{}");
        QTest::newRow("female section off copies the male speech") << QByteArray("{1}{Hi}{Bye}{}{}{}{}") << QStringList{"different", "ok"}
                                                                  << QByteArray("{1}{Hi}{Hi}{}{}{}{}");
        QTest::newRow("female unique and empty") << QByteArray("{1}{Hi}{Bye}{}{}{}{}") << QStringList{"different", "different", "femaleText=", "ok"}
                                                << QByteArray("{1}{Hi}{}{}{}{}{} different");
        QTest::newRow("cancel") << QByteArray("{1}{Hi}{Hi}{}{}{}{}") << QStringList{"maleUnique", "maleText=Changed", "different", "cancel"}
                                << QByteArray("{1}{Hi}{Hi}{}{}{}{}");
    }
    void npcDialog()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, script);
        QFETCH(QByteArray, written);
        auto file = MakeFile(line);
        DialogLine *page = file->GetPage(0);
        CNpcSpeechDlg dialog(page, file.get());
        dialog.show();
        Act(&dialog, script);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(Written(*page) + (page->IsSameSpeechForBoth() ? "" : " different"), written);
    }

    // Opened, the dialog has the speech selected, so that typing replaces
    // it; generated speech opens at its kind.
    void npcDialogOpensWithTheSpeechSelected()
    {
        auto file = MakeFile("{1}{Hello there}{Hello there}{}{}{}{}\n{21}{R:50,3}{R:50,3}{}{}{}{}");
        CNpcSpeechDlg dialog(file->GetPage(0), file.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("maleText"));
        QTest::keyClicks(dialog.focusWidget(), QStringLiteral("Hi"));
        Act(&dialog, {"maleText?Hi", "ok"});
        QCOMPARE(file->GetPage(0)->GetSpeech(), std::string("Hi"));
        CNpcSpeechDlg generated(file->GetPage(1), file.get());
        generated.show();
        QVERIFY(QTest::qWaitForWindowActive(&generated));
        QCOMPARE(generated.focusWidget()->objectName(), QStringLiteral("maleKind"));
    }

    // The option's line in the file, what is done in the dialog, and the line it leaves.
    void optionDialog_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QByteArray>("written");
        // Checks open as the core reads them; left alone, they are kept whatever
        // they hold. What a comparison and a value write is tested in the core.
        QTest::newRow("no checks") << QByteArray("{2}{Hm}{}{}{}{}{}")
                                   << QStringList{"checkOff?on", "comparison?-at least", "intelligence?-1", "gender?anyone", "ok"}
                                   << QByteArray("{2}{Hm}{}{}{}{}{}");
        QTest::newRow("-1 kept, though typed it is refused") << QByteArray("{2}{Hm}{0}{-1}{}{}{}")
            << QStringList{"checkOn?on", "comparison?below", "intelligence?1", "gender?female PCs only", "ok"} << QByteArray("{2}{Hm}{0}{-1}{}{}{}");
        QTest::newRow("non-ASCII made above") << QByteArray("{2}{Hm}{00}{5\xe9}{}{}{}")
            << QStringList{"comparison?at least", "intelligence?5\u00e9", "gender?female PCs only", "comparison=above", "ok"}
            << QByteArray("{2}{Hm}{00}{+5\xe9}{}{}{}");
        QTest::newRow("-1 raised to 2") << QByteArray("{2}{Hm}{2}{-1}{}{}{}") << QStringList{"gender?anyone", "intelligence=2", "ok"}
                                        << QByteArray("{2}{Hm}{2}{-2}{}{}{}");
        QTest::newRow("gender chosen") << QByteArray("{2}{Hm}{2}{}{}{}{}") << QStringList{"gender=male PCs only", "ok"} << QByteArray("{2}{Hm}{1}{}{}{}{}");
        QTest::newRow("below nothing") << QByteArray("{2}{Hm}{}{5}{}{}{}") << QStringList{"comparison=below", "intelligence=", "ok?" + kRefused, "checkOff", "ok"}
                                       << QByteArray("{2}{Hm}{}{1}{}{}{}");
        QTest::newRow("generated speech") << QByteArray("{2}{Hello there}{}{1}{}{}{}")
            << QStringList{"generated", "kind=Rumour", "money=", "list=3,4", "unique", "speech?Hello there", "generated", "ok"}
            << QByteArray("{2}{R:0,3,4}{}{1}{}{}{}");
        QTest::newRow("cancel") << QByteArray("{2}{Hm}{}{-1}{}{}{}") << QStringList{"conditions=Changed", "intelligence=0", "ok?" + kRefused, "cancel"}
                                << QByteArray("{2}{Hm}{}{-1}{}{}{}");
    }
    void optionDialog()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, script);
        QFETCH(QByteArray, written);
        auto file = MakeFile("{1}{Hi}{Hi}{}{}{}{}\n" + line);
        DialogLine *option = file->GetPage(0)->GetOption(0);
        CPcOptionDlg dialog(option, file.get());
        dialog.show();
        Act(&dialog, script);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(Written(*option), written);
    }

    // Prompts follow the kind; a section of unique speech shows none.
    void parameterPrompts()
    {
        auto file = MakeFile("{1}{R:50,3}{Hello}{}{}{}{}\n{2}{Hello there}{}{1}{}{}{}");
        CNpcSpeechDlg npcDialog(file->GetPage(0), file.get());
        npcDialog.show();
        ExpectPrompt(&npcDialog, "maleFirstPrompt", "Request information about one of the these rumours:", "maleList");
        ExpectPrompt(&npcDialog, "maleSecondPrompt", "Amount of money the NPC will demand:", "maleMoney");
        QCOMPARE(Visible(&npcDialog, "female"), QStringList());
        auto *kind = In<QComboBox>(&npcDialog, "maleKind");
        QStringList kinds;
        for (int i = 0; i < kind->count(); ++i)
            kinds << kind->itemText(i);
        QCOMPARE(kinds, (QStringList{"Greeting", "Insult", "Request money", "Rumour"}));
        Act(&npcDialog, {"maleKind=Insult"});
        QCOMPARE(Visible(&npcDialog, "male"), QStringList());
        Act(&npcDialog, {"maleKind=Request money", "malePage?Exit"});
        ExpectPrompt(&npcDialog, "maleFirstPrompt", "Amount of money to request from the PC:", "maleMoney");
        ExpectPrompt(&npcDialog, "maleSecondPrompt", "If the PC pays, go to this dialog page:", "malePage");
        QCOMPARE(Visible(&npcDialog, "male", {"List"}), QStringList());

        CPcOptionDlg dialog(file->GetPage(0)->GetOption(0), file.get());
        dialog.show();
        kind = In<QComboBox>(&dialog, "kind");
        QCOMPARE(kind->count(), 21);
        QCOMPARE(kind->itemText(0), QStringLiteral("Apologise"));
        QCOMPARE(kind->itemText(20), QStringLiteral("Yes"));
        QCOMPARE(kind->itemText(15), QStringLiteral("Request NPC identity")); // sorted without regard to case
        const QStringList parameters{"firstPrompt", "secondPrompt", "money", "list", "number", "page"};
        Act(&dialog, {"unique?on", "kind?-Apologise", "jumpTo?Exit"});
        QCOMPARE(Visible(&dialog, "", parameters), QStringList());
        Act(&dialog, {"generated", "kind?Apologise"});
        QCOMPARE(Visible(&dialog, "", parameters), QStringList());
        Act(&dialog, {"kind=Request NPC to cast spell.."});
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to cast this spell:", "number");
        QCOMPARE(Visible(&dialog, "", parameters), (QStringList{"firstPrompt", "number"}));
    }

    // Pages are told apart by themselves, not their names: Request money's page
    // and an option's jump, each the second "Twin".
    void pageListsChooseThePageItself()
    {
        auto file = MakeFile("{1}{M:100,41}{M:100,41}{}{}{}{}\n{2}{U:12}{}{1}{}{41}{}");
        DialogLine *page = file->GetPage(0);
        CNpcSpeechDlg npcDialog(page, file.get());
        auto *pages = In<QComboBox>(&npcDialog, "malePage");
        QCOMPARE(pages->count(), 4);
        QCOMPARE(pages->currentIndex(), 3); // the second "Twin", not the first
        pages->setCurrentIndex(1);
        Click(&npcDialog, "ok");
        QCOMPARE(page->GetSpeech(), std::string("M:100,1"));
        QCOMPARE(page->GetSpeechCode().g, file->GetPage(0));

        DialogLine *option = page->GetOption(0);
        CPcOptionDlg dialog(option, file.get());
        dialog.show();
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to use this skill:", "number");
        auto *jump = In<QComboBox>(&dialog, "jumpTo");
        QCOMPARE(jump->currentIndex(), 3);
        jump->setCurrentIndex(2);
        Act(&dialog, {"number?12", "ok"});
        QCOMPARE(Written(*option), QByteArray("{2}{U:12}{}{1}{}{21}{}"));
    }

    void refusesTextTheFileCannotCarry()
    {
        DialogLine option;
        option.SetSpeech("Hi");
        CPcOptionDlg dialog(&option, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *conditions = In<QLineEdit>(&dialog, "conditions");
        auto *note = In<QLabel>(&dialog, "note");
        QVERIFY(!note->isVisible());
        QTest::keyClicks(conditions, "a{");
        QCOMPARE(conditions->text(), QStringLiteral("a"));
        QVERIFY(note->isVisible() && note->text().contains("brace"));
        QTest::keyClicks(conditions, "b");
        QVERIFY(!note->isVisible());
        QTest::keyClicks(conditions, "//");
        QCOMPARE(conditions->text(), QStringLiteral("ab/"));
        QVERIFY(note->isVisible() && note->text().contains("\"//\""));
        conditions->insert(QString::fromUtf8("\u4e2d")); // as an input method would
        QCOMPARE(conditions->text(), QStringLiteral("ab/"));

        // Pasted line breaks go the same way; the description may not name a page.
        auto *speech = In<QPlainTextEdit>(&dialog, "speech");
        QApplication::clipboard()->setText("two\nlines");
        speech->selectAll();
        speech->paste();
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hi"));
        auto *description = In<QPlainTextEdit>(&dialog, "description");
        description->setPlainText("see [LABEL] x");
        QCOMPARE(description->toPlainText(), QString());
        description->setPlainText("  Caf\u00e9 \u20ac  ");
        Click(&dialog, "ok");
        QCOMPARE(option.GetDescription(), std::string("Caf\xe9 \x80"));
        QCOMPARE(option.GetConditions(), std::string("ab/"));
    }

    void enterInTheSpeechBoxPressesOk()
    {
        DialogLine option;
        CPcOptionDlg dialog(&option, nullptr);
        dialog.show();
        QTest::keyClicks(In<QPlainTextEdit>(&dialog, "speech"), "Yes");
        QTest::keyClick(In<QPlainTextEdit>(&dialog, "speech"), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(option.GetSpeech(), std::string("Yes"));
    }
};

QTEST_MAIN(TestSpeechDialogs)
#include "tst_speechdialogs.moc"
