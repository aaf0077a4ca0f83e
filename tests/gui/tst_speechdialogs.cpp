// The two speech dialogs, driven through their controls: what they open on,
// what OK writes, what Cancel leaves, and the text they refuse.
#include "GuiTestFiles.h"
#include "ui/AnsiText.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Three pages: "Start", and two named "Twin" (numbers 21 and 41).
std::unique_ptr<DialogFile> MakeFile()
{
    auto file = std::make_unique<DialogFile>();
    file->ReadText("// [LABEL] Start\n{1}{Hi}{Hi}{}{}{}{}\n// [LABEL] Twin\n{21}{Hi}{Hi}{}{}{}{}\n// [LABEL] Twin\n{41}{Hi}{Hi}{}{}{}{}\n");
    return file;
}

// Closes the next modal message box and keeps its caption and text.
struct MessageCatcher {
    QString seen;
    void Arm(QObject *context)
    {
        QTimer::singleShot(0, context, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen = box->windowTitle() + QLatin1Char('|') + box->text();
                box->accept();
            }
        });
    }
};

} // namespace

class TestSpeechDialogs : public QObject {
    Q_OBJECT

    template <typename T>
    static T *Find(QWidget *dialog, const char *name) { return GuiTestFiles::Find<T>(dialog, name); }
    static void Click(QWidget *dialog, const char *name) { QTest::mouseClick(Find<QWidget>(dialog, name), Qt::LeftButton); }

    // The prompt stands level with its control and ends ten pixels left of it.
    static void ExpectPrompt(QWidget *dialog, const char *label, const QString &text, const char *control)
    {
        auto *prompt = Find<QLabel>(dialog, label);
        QWidget *field = Find<QWidget>(dialog, control);
        QVERIFY2(prompt->isVisible() && field->isVisible(), label);
        QCOMPARE(prompt->text(), text);
        QCOMPARE(field->y(), prompt->y());
        QCOMPARE(prompt->x() + prompt->width(), field->x() - 10);
    }
    static QStringList Visible(QWidget *dialog, std::initializer_list<const char *> names)
    {
        QStringList shown;
        for (const char *name : names) {
            if (Find<QWidget>(dialog, name)->isVisible())
                shown << QLatin1String(name);
        }
        return shown;
    }

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
        QVERIFY(Find<QRadioButton>(&dialog, "maleGenerated")->isChecked());
        QCOMPARE(Find<QComboBox>(&dialog, "maleKind")->currentText(), QStringLiteral("Rumour"));
        QCOMPARE(Find<QLineEdit>(&dialog, "maleMoney")->text(), QStringLiteral("50"));
        QCOMPARE(Find<QLineEdit>(&dialog, "maleList")->text(), QStringLiteral("3"));
        ExpectPrompt(&dialog, "maleFirstPrompt", "Request information about one of the these rumours:", "maleList");
        ExpectPrompt(&dialog, "maleSecondPrompt", "Amount of money the NPC will demand:", "maleMoney");
        auto *maleText = Find<QPlainTextEdit>(&dialog, "maleText");
        QVERIFY(!maleText->isEnabled());
        QCOMPARE(maleText->toPlainText(), QStringLiteral("R:50,3"));

        // The female speech is unique: its text, Greeting shown and disabled, nothing else.
        QVERIFY(Find<QCheckBox>(&dialog, "different")->isChecked());
        QVERIFY(Find<QRadioButton>(&dialog, "femaleUnique")->isChecked());
        QCOMPARE(Find<QPlainTextEdit>(&dialog, "femaleText")->toPlainText(), QStringLiteral("Hello"));
        QCOMPARE(Find<QComboBox>(&dialog, "femaleKind")->currentText(), QStringLiteral("Greeting"));
        QVERIFY(!Find<QComboBox>(&dialog, "femaleKind")->isEnabled());
        QCOMPARE(Visible(&dialog, {"femaleFirstPrompt", "femaleSecondPrompt", "femaleMoney", "femaleList", "femaleNumber", "femalePage"}),
                 QStringList());

        // Prompts follow the kind: Insult shows none, Request money its page list.
        auto *kind = Find<QComboBox>(&dialog, "maleKind");
        QCOMPARE(kind->count(), 4);
        QCOMPARE(kind->itemText(0) + "," + kind->itemText(1) + "," + kind->itemText(2) + "," + kind->itemText(3),
                 QStringLiteral("Greeting,Insult,Request money,Rumour"));
        kind->setCurrentIndex(kind->findText("Insult"));
        QCOMPARE(Visible(&dialog, {"maleFirstPrompt", "maleSecondPrompt", "maleMoney", "maleList", "maleNumber", "malePage"}), QStringList());
        kind->setCurrentIndex(kind->findText("Request money"));
        ExpectPrompt(&dialog, "maleFirstPrompt", "Amount of money to request from the PC:", "maleMoney");
        ExpectPrompt(&dialog, "maleSecondPrompt", "If the PC pays, go to this dialog page:", "malePage");
        QCOMPARE(Find<QComboBox>(&dialog, "malePage")->currentText(), QStringLiteral("Exit"));
        QVERIFY(!Visible(&dialog, {"maleList"}).size());
    }

    void npcDialogOk_data()
    {
        QTest::addColumn<QString>("male");
        QTest::addColumn<QString>("female");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("written1");
        QTest::addColumn<QString>("written2");
        QTest::addColumn<bool>("same");
        QTest::newRow("unique, unchanged") << "Hello" << "Hello" << "" << "Hello" << "Hello" << true;
        // Untouched speech is kept as it stands (saving writes its code anew).
        QTest::newRow("a kind NPCs do not speak") << "E:" << "E:" << "" << "E:" << "E:" << true;
        QTest::newRow("greeting keeps its text") << "G:hi" << "G:hi" << "" << "G:hi" << "G:hi" << true;
        QTest::newRow("unique mode keeps the code as typed") << "R:50,3" << "R:50,3" << "maleUnique" << "R:50,3" << "R:50,3" << true;
        QTest::newRow("switching keeps the texts") << "R:50,3" << "R:50,3" << "maleUnique maleGenerated" << "R:50,3" << "R:50,3" << true;
        QTest::newRow("female section off copies the male speech") << "Hi" << "Bye" << "different" << "Hi" << "Hi" << true;
        QTest::newRow("female unique and empty") << "Hi" << "" << "different different" << "Hi" << "" << false;
    }
    void npcDialogOk()
    {
        QFETCH(QString, male);
        QFETCH(QString, female);
        QFETCH(QString, actions);
        QFETCH(QString, written1);
        QFETCH(QString, written2);
        QFETCH(bool, same);
        auto file = MakeFile();
        DialogLine *page = file->GetPage(0);
        page->SetSpeech(male.toStdString());
        page->SetFemaleSpeech(female.toStdString());
        if (male != female)
            page->ClearSameSpeechForBoth();
        page->ClearModified();
        CNpcSpeechDlg dialog(page, file.get());
        dialog.show();
        for (const QString &action : actions.split(' ', Qt::SkipEmptyParts))
            Click(&dialog, action.toLatin1().constData());
        if (written2.isEmpty() && !same)
            Find<QPlainTextEdit>(&dialog, "femaleText")->clear();
        Click(&dialog, "ok");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(page->GetSpeech()), written1);
        QCOMPARE(QString::fromStdString(page->GetFemaleSpeech()), written2);
        QCOMPARE(page->IsSameSpeechForBoth(), same);
        QVERIFY(page->IsModified());
    }

    void requestMoneyLeadsToAPage()
    {
        auto file = MakeFile();
        DialogLine *page = file->GetPage(0);
        page->SetSpeech("M:100,41");
        page->SetFemaleSpeech("M:100,41");
        file->SetFileName("unused");
        // As read from a file: the code names the third page by its number.
        page->SetSpeechPage(file->GetPage(2));
        CNpcSpeechDlg dialog(page, file.get());
        auto *pages = Find<QComboBox>(&dialog, "malePage");
        QCOMPARE(pages->count(), 4);
        QCOMPARE(pages->currentIndex(), 3); // the second "Twin", not the first
        pages->setCurrentIndex(1);
        Click(&dialog, "ok");
        QCOMPARE(page->GetSpeech(), std::string("M:100,1"));
        QCOMPARE(page->GetSpeechCode().g, file->GetPage(0));
    }

    void cancelWritesNothing()
    {
        auto file = MakeFile();
        DialogLine *page = file->GetPage(1);
        page->ClearModified();
        {
            CNpcSpeechDlg dialog(page, file.get());
            dialog.show();
            Click(&dialog, "maleUnique");
            Find<QPlainTextEdit>(&dialog, "maleText")->setPlainText("Changed");
            Click(&dialog, "different");
            Click(&dialog, "cancel");
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        auto line = std::make_unique<DialogLine>();
        line->SetSpeech("Hm");
        line->SetIntelligenceCheck("-1");
        line->ClearModified();
        {
            CPcOptionDlg dialog(line.get(), file.get());
            dialog.show();
            Find<QLineEdit>(&dialog, "conditions")->setText("Changed");
            Find<QLineEdit>(&dialog, "intelligence")->setText("0");
            MessageCatcher message;
            message.Arm(&dialog);
            Click(&dialog, "ok"); // refused: below 1
            QVERIFY(message.seen.startsWith("Invalid intelligence check entered|"));
            Click(&dialog, "cancel");
        }
        QCOMPARE(page->GetSpeech(), std::string("Hi"));
        QVERIFY(page->IsSameSpeechForBoth());
        QVERIFY(!page->IsModified());
        QCOMPARE(line->GetConditions(), std::string());
        QCOMPARE(line->GetIntelligenceCheck(), std::string("-1"));
        QVERIFY(!line->IsModified());
    }

    void optionDialogOpensOnTheSpeech()
    {
        auto file = MakeFile();
        DialogLine option;
        option.SetSpeech("Hello there");
        CPcOptionDlg dialog(&option, file.get());
        dialog.show();
        auto *kind = Find<QComboBox>(&dialog, "kind");
        QCOMPARE(kind->count(), 21);
        QCOMPARE(kind->itemText(0), QStringLiteral("Apologise"));
        QCOMPARE(kind->itemText(20), QStringLiteral("Yes"));
        QCOMPARE(kind->itemText(15), QStringLiteral("Request NPC identity")); // sorted without regard to case
        QVERIFY(!kind->isEnabled());
        QVERIFY(Find<QRadioButton>(&dialog, "unique")->isChecked());
        QCOMPARE(Visible(&dialog, {"firstPrompt", "secondPrompt", "money", "list", "number", "page"}), QStringList());
        QCOMPARE(Find<QComboBox>(&dialog, "jumpTo")->currentText(), QStringLiteral("Exit"));

        Click(&dialog, "generated");
        QCOMPARE(kind->currentText(), QStringLiteral("Apologise"));
        QCOMPARE(Visible(&dialog, {"firstPrompt", "secondPrompt", "money", "list", "number", "page"}), QStringList());
        kind->setCurrentIndex(kind->findText("Request NPC to cast spell.."));
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to cast this spell:", "number");
        QCOMPARE(Visible(&dialog, {"secondPrompt", "money", "list", "page"}), QStringList());
        kind->setCurrentIndex(kind->findText("Rumour"));
        Find<QLineEdit>(&dialog, "money")->clear();
        Find<QLineEdit>(&dialog, "list")->setText("3,4");
        Click(&dialog, "unique");
        QCOMPARE(Find<QPlainTextEdit>(&dialog, "speech")->toPlainText(), QStringLiteral("Hello there"));
        Click(&dialog, "generated");
        Click(&dialog, "ok");
        QCOMPARE(option.GetSpeech(), std::string("R:0,3,4"));
        QCOMPARE(option.GetTarget(), nullptr);
    }

    void optionDialogKeepsTheSkillNumberAndJumpTarget()
    {
        auto file = MakeFile();
        DialogLine option;
        option.SetSpeech("U:12");
        option.SetTarget(file->GetPage(2));
        CPcOptionDlg dialog(&option, file.get());
        dialog.show();
        ExpectPrompt(&dialog, "firstPrompt", "Ask the NPC to use this skill:", "number");
        QCOMPARE(Find<QLineEdit>(&dialog, "number")->text(), QStringLiteral("12"));
        auto *jump = Find<QComboBox>(&dialog, "jumpTo");
        QCOMPARE(jump->currentIndex(), 3);
        QCOMPARE(jump->itemText(2), jump->itemText(3));
        jump->setCurrentIndex(2);
        Click(&dialog, "ok");
        QCOMPARE(option.GetSpeech(), std::string("U:12"));
        QCOMPARE(option.GetTarget(), file->GetPage(1));
    }

    void intelligenceCheck_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("opensOn");
        QTest::addColumn<int>("comparison"); // -1: leave as opened
        QTest::addColumn<QString>("value");  // "=": leave as opened
        QTest::addColumn<QString>("written"); // "!": refused with the message
        // Left as opened, the stored check is kept, whatever it holds; what
        // a comparison and a value write is tested in the core.
        QTest::newRow("empty") << "" << false << -1 << "=" << "";
        QTest::newRow("-1") << "-1" << true << -1 << "=" << "-1"; // kept, though typed it is refused
        QTest::newRow("non-ASCII made above") << "5\u00e9" << true << 1 << "=" << "+5\u00e9"; // as Windows-1252, not UTF-8
        QTest::newRow("-1 raised to 2") << "-1" << true << -1 << "2" << "-2";
        QTest::newRow("at least 12") << "5" << true << 0 << "12" << "12";
        QTest::newRow("below empty") << "5" << true << 2 << "" << "!";
    }
    void intelligenceCheck()
    {
        QFETCH(QString, stored);
        QFETCH(bool, opensOn);
        QFETCH(int, comparison);
        QFETCH(QString, value);
        QFETCH(QString, written);
        DialogLine option;
        std::string bytes;
        QVERIFY(AnsiText::FromDisplay(stored, bytes));
        option.SetIntelligenceCheck(bytes);
        CPcOptionDlg dialog(&option, nullptr);
        dialog.show();
        QCOMPARE(Find<QRadioButton>(&dialog, "checkOn")->isChecked(), opensOn);
        QCOMPARE(Find<QRadioButton>(&dialog, "checkOff")->isChecked(), !opensOn);
        QCOMPARE(Find<QComboBox>(&dialog, "comparison")->isEnabled(), opensOn);
        if (!opensOn) {
            QCOMPARE(Find<QComboBox>(&dialog, "comparison")->currentIndex(), 0);
            QCOMPARE(Find<QLineEdit>(&dialog, "intelligence")->text(), QStringLiteral("1"));
        }
        if (comparison >= 0 || value != "=")
            Click(&dialog, "checkOn");
        if (comparison >= 0)
            Find<QComboBox>(&dialog, "comparison")->setCurrentIndex(comparison);
        if (value != "=") {
            auto *edit = Find<QLineEdit>(&dialog, "intelligence");
            edit->clear();
            QTest::keyClicks(edit, value);
        }
        MessageCatcher catcher;
        catcher.Arm(&dialog);
        Click(&dialog, "ok");
        const QString message = catcher.seen;
        if (written == "!") {
            QCOMPARE(message, QStringLiteral("Invalid intelligence check entered|"
                                             "It does not make sense to check for intelligence values less than 1"));
            QVERIFY(dialog.isVisible());
            QCOMPARE(option.GetIntelligenceCheck(), bytes);
            // Switching the check off lets OK through, whatever the value holds.
            Click(&dialog, "checkOff");
            Click(&dialog, "ok");
            QCOMPARE(option.GetIntelligenceCheck(), std::string("1"));
        } else {
            QCOMPARE(message, QString());
            QCOMPARE(AnsiText::ToDisplay(option.GetIntelligenceCheck()), written);
        }
    }

    // The list shows the check as the core reads it, other numbers as
    // anyone; OK with the list left alone keeps the field as it was.
    void genderCheck()
    {
        for (const auto &[stored, shown] : {std::pair{"", 0}, {"0", 2}, {"x", 2}, {"2", 0}}) {
            DialogLine option;
            option.SetFemaleSpeech(stored);
            CPcOptionDlg dialog(&option, nullptr);
            QCOMPARE(Find<QComboBox>(&dialog, "gender")->currentIndex(), shown);
            Click(&dialog, "ok");
            QCOMPARE(option.GetFemaleSpeech(), std::string(stored));
        }
    }

    void refusesTextTheFileCannotCarry()
    {
        DialogLine option;
        option.SetSpeech("Hi");
        CPcOptionDlg dialog(&option, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *conditions = Find<QLineEdit>(&dialog, "conditions");
        auto *note = Find<QLabel>(&dialog, "note");
        QVERIFY(!note->isVisible());
        QTest::keyClicks(conditions, "a{");
        QCOMPARE(conditions->text(), QStringLiteral("a"));
        QVERIFY(note->isVisible());
        QVERIFY(note->text().contains("brace"));
        QTest::keyClicks(conditions, "b");
        QVERIFY(!note->isVisible());
        QTest::keyClicks(conditions, "//");
        QCOMPARE(conditions->text(), QStringLiteral("ab/"));
        QVERIFY(note->isVisible());
        QVERIFY(note->text().contains("\"//\""));
        conditions->insert(QString::fromUtf8("\u4e2d")); // as an input method would
        QCOMPARE(conditions->text(), QStringLiteral("ab/"));

        // Pasted line breaks go the same way; the description may not name a page.
        auto *speech = Find<QPlainTextEdit>(&dialog, "speech");
        QApplication::clipboard()->setText("two\nlines");
        speech->selectAll();
        speech->paste();
        QCOMPARE(speech->toPlainText(), QStringLiteral("Hi"));
        auto *description = Find<QPlainTextEdit>(&dialog, "description");
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
        auto *speech = Find<QPlainTextEdit>(&dialog, "speech");
        QTest::keyClicks(speech, "Yes");
        QTest::keyClick(speech, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(option.GetSpeech(), std::string("Yes"));
    }
};

QTEST_MAIN(TestSpeechDialogs)
#include "tst_speechdialogs.moc"
