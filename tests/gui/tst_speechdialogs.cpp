// The two speech dialogs, driven through their controls: what they open on,
// what OK writes, what Cancel leaves, and the text they refuse.
#include "GuiTestFiles.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "ui/AnsiText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>

namespace {

// Three pages: "Start", and two named "Twin" (numbers 21 and 41).
std::unique_ptr<DialogFile> MakeFile()
{
    auto file = std::make_unique<DialogFile>();
    file->ReadText("// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] Twin\n{21}{Hi}{Hi}{}{}{}{}\n// [LABEL] Twin\n{41}{Hi}{Hi}{}{}{}{}\n");
    return file;
}

// Presses OK and closes the message it shows, if any: returns its caption and text.
QString PressOk(QWidget *dialog)
{
    QString seen;
    QTimer timer; // stopped with this call when no message came
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = box->windowTitle() + QLatin1Char('|') + box->text();
            box->accept();
        }
    });
    timer.start(0);
    GuiTest::Click(dialog, "ok");
    return seen;
}

// What the NPC speech dialog opens on, the controls clicked ("box=text":
// text typed into a box), and what OK writes.
struct NpcOk {
    QString male, female, actions, written1, written2;
    bool same;
};
// A stored intelligence check, whether the check opens on, the comparison
// chosen (-1: as opened), the value typed ("=": as opened) and what OK
// writes ("!": refused with a message).
struct Intelligence {
    QString stored;
    bool opensOn;
    int comparison;
    QString value, written;
};

} // namespace

Q_DECLARE_METATYPE(NpcOk)
Q_DECLARE_METATYPE(Intelligence)

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
    // Which of the named controls show; prefix goes before each name.
    static QStringList Visible(QWidget *dialog, const QString &prefix, QStringList names)
    {
        names.removeIf([&](const QString &name) { return !In<QWidget>(dialog, qPrintable(prefix + name))->isVisible(); });
        return names;
    }
    static QStringList Items(QComboBox *box)
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }
    const QStringList m_parameters{"FirstPrompt", "SecondPrompt", "Money", "List", "Number", "Page"};

private slots:
    void npcDialogOpensOnTheSpeech()
    {
        auto file = MakeFile();
        DialogLine *page = file->GetPage(0);
        page->SetSpeech("R:50,3");
        page->SetFemaleSpeech("Hello");
        page->ClearSameSpeechForBoth();
        CNpcSpeechDlg dialog(page, file.get());
        dialog.show();
        QVERIFY(In<QRadioButton>(&dialog, "maleGenerated")->isChecked());
        auto *kind = In<QComboBox>(&dialog, "maleKind");
        QCOMPARE(kind->currentText(), QStringLiteral("Rumour"));
        QCOMPARE(In<QLineEdit>(&dialog, "maleMoney")->text(), QStringLiteral("50"));
        QCOMPARE(In<QLineEdit>(&dialog, "maleList")->text(), QStringLiteral("3"));
        ExpectPrompt(&dialog, "maleFirstPrompt", "Request information about one of the these rumours:", "maleList");
        ExpectPrompt(&dialog, "maleSecondPrompt", "Amount of money the NPC will demand:", "maleMoney");
        auto *maleText = In<QPlainTextEdit>(&dialog, "maleText");
        QVERIFY(!maleText->isEnabled());
        QCOMPARE(maleText->toPlainText(), QStringLiteral("R:50,3"));

        // The female speech is unique: its text, Greeting shown and disabled, nothing else.
        QVERIFY(In<QCheckBox>(&dialog, "different")->isChecked());
        QVERIFY(In<QRadioButton>(&dialog, "femaleUnique")->isChecked());
        QCOMPARE(In<QPlainTextEdit>(&dialog, "femaleText")->toPlainText(), QStringLiteral("Hello"));
        QCOMPARE(In<QComboBox>(&dialog, "femaleKind")->currentText(), QStringLiteral("Greeting"));
        QVERIFY(!In<QComboBox>(&dialog, "femaleKind")->isEnabled());
        QCOMPARE(Visible(&dialog, "female", m_parameters), QStringList());

        // Prompts follow the kind: Insult shows none, Request money its page list.
        QCOMPARE(Items(kind), (QStringList{"Greeting", "Insult", "Request money", "Rumour"}));
        kind->setCurrentIndex(kind->findText("Insult"));
        QCOMPARE(Visible(&dialog, "male", m_parameters), QStringList());
        kind->setCurrentIndex(kind->findText("Request money"));
        ExpectPrompt(&dialog, "maleFirstPrompt", "Amount of money to request from the PC:", "maleMoney");
        ExpectPrompt(&dialog, "maleSecondPrompt", "If the PC pays, go to this dialog page:", "malePage");
        QCOMPARE(In<QComboBox>(&dialog, "malePage")->currentText(), QStringLiteral("Exit"));
        QCOMPARE(Visible(&dialog, "male", {"List"}), QStringList());
    }

    void npcDialogOk_data()
    {
        QTest::addColumn<NpcOk>("c");
        // Untouched speech is kept as it stands, whatever it holds: see okWithoutEditsKeepsEveryByte.
        QTest::newRow("typed") << NpcOk{"Hi", "Hi", "maleText=Hello.", "Hello.", "Hello.", true};
        QTest::newRow("unique mode keeps the code as typed") << NpcOk{"R:50,3", "R:50,3", "maleUnique", "R:50,3", "R:50,3", true};
        QTest::newRow("switching keeps the texts") << NpcOk{"R:50,3", "R:50,3", "maleUnique maleGenerated", "R:50,3", "R:50,3", true};
        QTest::newRow("female section off copies the male speech") << NpcOk{"Hi", "Bye", "different", "Hi", "Hi", true};
        QTest::newRow("female unique and empty") << NpcOk{"Hi", "", "different different", "Hi", "", false};
    }
    void npcDialogOk()
    {
        QFETCH(NpcOk, c);
        auto file = MakeFile();
        DialogLine *page = file->GetPage(0);
        page->SetSpeech(c.male.toStdString());
        page->SetFemaleSpeech(c.female.toStdString());
        if (c.male != c.female)
            page->ClearSameSpeechForBoth();
        CNpcSpeechDlg dialog(page, file.get());
        dialog.show();
        for (const QString &action : c.actions.split(' ', Qt::SkipEmptyParts)) {
            if (action.contains('=')) // text typed into a box
                In<QPlainTextEdit>(&dialog, qPrintable(action.section('=', 0, 0)))->setPlainText(action.section('=', 1));
            else
                Click(&dialog, qPrintable(action));
        }
        if (c.written2.isEmpty() && !c.same)
            In<QPlainTextEdit>(&dialog, "femaleText")->clear();
        Click(&dialog, "ok");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(page->GetSpeech()), c.written1);
        QCOMPARE(QString::fromStdString(page->GetFemaleSpeech()), c.written2);
        QCOMPARE(page->IsSameSpeechForBoth(), c.same);
    }

    // Pages are told apart by themselves, not their names: Request money's page
    // and an option's jump, each the second "Twin".
    void pageListsChooseThePageItself()
    {
        auto file = MakeFile();
        DialogLine *page = file->GetPage(0);
        page->SetSpeech("M:100,41");
        page->SetFemaleSpeech("M:100,41");
        file->SetFileName("unused");
        page->SetSpeechPage(file->GetPage(2)); // as read from a file: the code names the page by its number
        CNpcSpeechDlg npcDialog(page, file.get());
        auto *pages = In<QComboBox>(&npcDialog, "malePage");
        QCOMPARE(pages->count(), 4);
        QCOMPARE(pages->currentIndex(), 3); // the second "Twin", not the first
        pages->setCurrentIndex(1);
        Click(&npcDialog, "ok");
        QCOMPARE(page->GetSpeech(), std::string("M:100,1"));
        QCOMPARE(page->GetSpeechCode().g, file->GetPage(0));

        DialogLine option;
        option.SetSpeech("U:12");
        option.SetTarget(file->GetPage(2));
        CPcOptionDlg dialog(&option, file.get());
        dialog.show();
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to use this skill:", "number");
        QCOMPARE(In<QLineEdit>(&dialog, "number")->text(), QStringLiteral("12"));
        auto *jump = In<QComboBox>(&dialog, "jumpTo");
        QCOMPARE(jump->currentIndex(), 3);
        QCOMPARE(jump->itemText(2), jump->itemText(3));
        jump->setCurrentIndex(2);
        Click(&dialog, "ok");
        QCOMPARE(option.GetSpeech(), std::string("U:12"));
        QCOMPARE(option.GetTarget(), file->GetPage(1));
    }

    void cancelWritesNothing()
    {
        auto file = MakeFile();
        DialogLine *page = file->GetPage(1);
        {
            CNpcSpeechDlg dialog(page, file.get());
            dialog.show();
            Click(&dialog, "maleUnique");
            In<QPlainTextEdit>(&dialog, "maleText")->setPlainText("Changed");
            Click(&dialog, "different");
            Click(&dialog, "cancel");
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        DialogLine line;
        line.SetSpeech("Hm");
        line.SetIntelligenceCheck("-1");
        {
            CPcOptionDlg dialog(&line, file.get());
            dialog.show();
            In<QLineEdit>(&dialog, "conditions")->setText("Changed");
            In<QLineEdit>(&dialog, "intelligence")->setText("0");
            QVERIFY(PressOk(&dialog).startsWith("Invalid intelligence check entered|")); // refused: below 1
            Click(&dialog, "cancel");
        }
        QCOMPARE(page->GetSpeech(), std::string("Hi"));
        QVERIFY(page->IsSameSpeechForBoth());
        QCOMPARE(line.GetConditions(), std::string());
        QCOMPARE(line.GetIntelligenceCheck(), std::string("-1"));
    }

    void optionDialogOpensOnTheSpeech()
    {
        auto file = MakeFile();
        DialogLine option;
        option.SetSpeech("Hello there");
        CPcOptionDlg dialog(&option, file.get());
        dialog.show();
        auto *kind = In<QComboBox>(&dialog, "kind");
        QCOMPARE(kind->count(), 21);
        QCOMPARE(kind->itemText(0), QStringLiteral("Apologise"));
        QCOMPARE(kind->itemText(20), QStringLiteral("Yes"));
        QCOMPARE(kind->itemText(15), QStringLiteral("Request NPC identity")); // sorted without regard to case
        QVERIFY(!kind->isEnabled());
        QVERIFY(In<QRadioButton>(&dialog, "unique")->isChecked());
        const QStringList parameters{"firstPrompt", "secondPrompt", "money", "list", "number", "page"};
        QCOMPARE(Visible(&dialog, "", parameters), QStringList());
        QCOMPARE(In<QComboBox>(&dialog, "jumpTo")->currentText(), QStringLiteral("Exit"));

        Click(&dialog, "generated");
        QCOMPARE(kind->currentText(), QStringLiteral("Apologise"));
        QCOMPARE(Visible(&dialog, "", parameters), QStringList());
        kind->setCurrentIndex(kind->findText("Request NPC to cast spell.."));
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to cast this spell:", "number");
        QCOMPARE(Visible(&dialog, "", parameters), (QStringList{"firstPrompt", "number"}));
        kind->setCurrentIndex(kind->findText("Rumour"));
        In<QLineEdit>(&dialog, "money")->clear();
        In<QLineEdit>(&dialog, "list")->setText("3,4");
        Click(&dialog, "unique");
        QCOMPARE(In<QPlainTextEdit>(&dialog, "speech")->toPlainText(), QStringLiteral("Hello there"));
        Click(&dialog, "generated");
        Click(&dialog, "ok");
        QCOMPARE(option.GetSpeech(), std::string("R:0,3,4"));
        QCOMPARE(option.GetTarget(), nullptr);
    }

    void intelligenceCheck_data()
    {
        QTest::addColumn<Intelligence>("c");
        // Left as opened, the stored check is kept, whatever it holds; what
        // a comparison and a value write is tested in the core.
        QTest::newRow("empty") << Intelligence{"", false, -1, "=", ""};
        QTest::newRow("-1") << Intelligence{"-1", true, -1, "=", "-1"}; // kept, though typed it is refused
        QTest::newRow("non-ASCII made above") << Intelligence{"5\u00e9", true, 1, "=", "+5\u00e9"}; // as Windows-1252, not UTF-8
        QTest::newRow("-1 raised to 2") << Intelligence{"-1", true, -1, "2", "-2"};
        QTest::newRow("below empty") << Intelligence{"5", true, 2, "", "!"};
    }
    void intelligenceCheck()
    {
        QFETCH(Intelligence, c);
        const auto &[stored, opensOn, comparison, value, written] = c;
        DialogLine option;
        std::string bytes;
        QVERIFY(AnsiText::FromDisplay(stored, bytes));
        option.SetIntelligenceCheck(bytes);
        CPcOptionDlg dialog(&option, nullptr);
        dialog.show();
        auto *comparisons = In<QComboBox>(&dialog, "comparison");
        auto *edit = In<QLineEdit>(&dialog, "intelligence");
        QCOMPARE(In<QRadioButton>(&dialog, "checkOn")->isChecked(), opensOn);
        QCOMPARE(In<QRadioButton>(&dialog, "checkOff")->isChecked(), !opensOn);
        QCOMPARE(comparisons->isEnabled(), opensOn);
        if (!opensOn)
            QCOMPARE(QString::number(comparisons->currentIndex()) + edit->text(), QStringLiteral("01"));
        if (comparison >= 0 || value != "=")
            Click(&dialog, "checkOn");
        if (comparison >= 0)
            comparisons->setCurrentIndex(comparison);
        if (value != "=") {
            edit->clear();
            QTest::keyClicks(edit, value);
        }
        const QString message = PressOk(&dialog);
        if (written != "!") {
            QCOMPARE(message, QString());
            QCOMPARE(AnsiText::ToDisplay(option.GetIntelligenceCheck()), written);
            return;
        }
        QCOMPARE(message, QStringLiteral("Invalid intelligence check entered|"
                                         "It does not make sense to check for intelligence values less than 1"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(option.GetIntelligenceCheck(), bytes);
        // Switching the check off lets OK through, whatever the value holds.
        Click(&dialog, "checkOff");
        Click(&dialog, "ok");
        QCOMPARE(option.GetIntelligenceCheck(), std::string("1"));
    }

    // The list shows the check as the core reads it, other numbers as
    // anyone; OK with the list left alone keeps the field as it was.
    void genderCheck()
    {
        // Stored, the entry shown, the entry chosen (-1: none) and what OK writes.
        for (const auto &[stored, shown, chosen, written] : {std::tuple{"", 0, -1, ""}, {"0", 2, -1, "0"}, {"x", 2, -1, "x"}, {"2", 0, -1, "2"}, {"2", 0, 1, "1"}}) {
            DialogLine option;
            option.SetFemaleSpeech(stored);
            CPcOptionDlg dialog(&option, nullptr);
            auto *gender = In<QComboBox>(&dialog, "gender");
            QCOMPARE(gender->currentIndex(), shown);
            if (chosen >= 0)
                gender->setCurrentIndex(chosen);
            Click(&dialog, "ok");
            QCOMPARE(option.GetFemaleSpeech(), std::string(written));
        }
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
