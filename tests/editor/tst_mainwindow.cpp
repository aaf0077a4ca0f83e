// The main window as a user sees it: the page view, the option commands'
// states, the speech switch, the layout rule and the option list.
#include "GuiTestFiles.h"
#include "panels/ConversationsPanel.h"
#include "panels/UsesPanel.h"
#include "panels/DifferencesPanel.h"
#include "panels/FindBar.h"
#include "panels/MapPanel.h"
#include "panels/ProblemsPanel.h"
#include "panels/OutlinePanel.h"
#include "rules/OptionDescription.h"
#include "ui/AnsiText.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QtMath>

// A file, the option row selected (-1: none), and whether it can move up and down.
struct Selection {
    QByteArray file;
    int row;
    bool up, down;
};
Q_DECLARE_METATYPE(Selection)

class TestMainWindow : public GuiTest {
    Q_OBJECT

private slots:
    // What the descriptions say is tested in the core; here, that the list
    // shows them in order, as Windows-1252, and the speech switch.
    void showsThePage()
    {
        Open("// [LABEL] Start\n{1}{Hi man}{Hi woman}{}{}{}{}\n{2}{S}{}{1}{}{1}{}\n"
             "// [DESCRIPTION] D\n{3}{Caf\xe9}{1}{-8}{C}{}{R}\n// [LABEL] Caf\xe9 [*]\n{21}{Hello}{Hello}{}{}{}{}\n");
        QCOMPARE(List()->count(), Page()->GetOptionCount());
        for (int i = 0; i < List()->count(); ++i)
            QCOMPARE(List()->item(i)->text(), AnsiText::ToDisplay(OptionDescription::Build(*Page()->GetOption(i))));
        QCOMPARE(List()->GetOption(1), Page()->GetOption(1));

        QWidget *window = m_dialog.get();
        const QString view = QStringLiteral("viewFemaleButton");
        Act(window, {"speechCaption?Speech to male PC:", "speechEdit?Hi man", view + "?View speech to fe&male PC", view,
                     "speechCaption?Speech to female PC:", "speechEdit?Hi woman", view, "speechEdit?Hi man", view});
        m_dialog->RefreshPage();
        Act(window, {"speechCaption?Speech to male PC:", view + "?View speech to fe&male PC"});
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(1));
        m_dialog->RefreshPage();
        Act(window, {"speechCaption?Speech to both genders:", "speechEdit?Hello", view + "?-View speech to fe&male PC"});
        QCOMPARE(Name(), QStringLiteral("Caf\u00e9 [*]"));
    }

    // "Both speeches" shows the two, each labelled, instead of the switch;
    // a page that says the same to both shows one. Generated speech keeps
    // its code, and says in a tooltip what the game shows. The words of
    // the page and the document follow every edit.
    void showsBothSpeechesAndCounts()
    {
        Open("// [LABEL] Start\n{1}{Hi there man}{R:20,mill,ferry}{}{}{}{}\n{2}{Go on then}{}{1}{}{21}{}\n"
             "// [LABEL] Same\n{21}{Hello}{Hello}{}{}{}{}\n{22}{E:}{}{1}{}{}{}\n");
        QWidget *window = m_dialog.get();
        QAction *both = Find<QAction>("actionBothSpeeches");
        QVERIFY(!both->isChecked()); // the switch, as it always was
        const int listTop = List()->y();
        both->trigger();
        Act(window, {"speechCaption?Speech to male PC:", "speechEdit?Hi there man", "femaleSpeechCaption?Speech to female PC:",
                     "femaleSpeechEdit?R:20,mill,ferry"});
        QVERIFY(Find<QWidget>("femaleSpeechEdit")->isVisible());
        QVERIFY(!Find<QWidget>("viewFemaleButton")->isVisible());
        QCOMPARE(Find<QWidget>("femaleSpeechEdit")->toolTip(), QStringLiteral("[Rumour: mill, ferry; 20 gold]"));
        QCOMPARE(Find<QWidget>("speechEdit")->toolTip(), QString());
        QVERIFY2(List()->y() > listTop, "the options give the second speech room");
        QVERIFY(List()->y() >= Find<QWidget>("femaleSpeechEdit")->geometry().bottom());
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(1));
        Act(window, {"speechCaption?Speech to both genders:", "speechEdit?Hello"});
        QVERIFY(!Find<QWidget>("femaleSpeechEdit")->isVisible());
        QCOMPARE(List()->item(0)->toolTip(), QStringLiteral("[Exit]"));
        both->trigger();
        QCOMPARE(List()->y(), listTop);
        QVERIFY(Find<QWidget>("viewFemaleButton")->isVisible());

        // Start: 3 words to male PCs, the Rumour none, 3 in its option; Same: 1.
        QTRY_COMPARE(Find<QLabel>("wordCount")->text(), QStringLiteral("1 word of 7"));
        DialogLine changed;
        changed.SetContent(Page()->GetContent());
        changed.SetSpeech("Hello and welcome");
        changed.SetFemaleSpeech("Hello and welcome");
        const DialogLine::Content before = Page()->GetContent();
        Page()->SetContent(changed.GetContent());
        m_dialog->Session().ChangedLine(*Page(), *Page(), before, QStringLiteral("Edit Speech"));
        QTRY_COMPARE(Find<QLabel>("wordCount")->text(), QStringLiteral("3 words of 9"));
    }

    // A text too long to lay out is shown in part, and says how much is left.
    void showsALongTextInPart()
    {
        const QByteArray speech(20005, 'a');
        Open("{1}{" + speech + "}{" + speech + "}{}{}{}{}\n");
        QCOMPARE(Find<QPlainTextEdit>("speechEdit")->toPlainText(), QString(20000, u'a') + QStringLiteral("\u2026 (5 more characters)"));
    }

    void optionCommandsFollowTheSelection_data()
    {
        QTest::addColumn<Selection>("c");
        const QByteArray three = "{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n{4}{z}{}{}{}{}{}\n";
        QTest::newRow("no selection") << Selection{three, -1, false, false};
        QTest::newRow("first") << Selection{three, 0, false, true};
        QTest::newRow("middle") << Selection{three, 1, true, true};
        QTest::newRow("last") << Selection{three, 2, true, false};
        QTest::newRow("no options") << Selection{"{1}{A}{A}{}{}{}{}\n", -1, false, false};
        QTest::newRow("one option") << Selection{"{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n", 0, false, false};
    }
    void optionCommandsFollowTheSelection()
    {
        QFETCH(Selection, c);
        const auto &[file, row, up, down] = c;
        Open(file);
        QCOMPARE(List()->currentRow(), List()->count() > 0 ? 0 : -1); // a redisplay selects the first option
        if (row < 0)
            List()->clearSelection();
        else
            List()->setCurrentRow(row);
        const struct { const char *button, *action; bool enabled; } commands[] = {
            {"deleteOptionButton", "actionDeleteOption", row >= 0}, {"editOptionButton", "actionEditOption", row >= 0},
            {"goToResultButton", "actionGoToResult", row >= 0}, {"moveUpButton", "actionMoveUp", up},
            {"moveDownButton", "actionMoveDown", down}, {"addOptionButton", "actionAddOption", true}};
        for (const auto &command : commands) {
            QVERIFY2(Find<QWidget>(command.button)->isEnabled() == command.enabled, command.button);
            QVERIFY2(Find<QAction>(command.action)->isEnabled() == command.enabled, command.action);
        }
        // Never disabled, whatever the selection.
        QVERIFY(Find<QAction>("actionGotoPage")->isEnabled() && Find<QAction>("actionEditNpcSpeech")->isEnabled());
        QVERIFY(Find<QWidget>("goToButton")->isEnabled());
    }

    void controlsFollowTheWindowSize()
    {
        QVERIFY(Start());
        // The window's growth all goes to the page.
        m_dialog->Outline().hide();
        m_dialog->Problems().hide();
        m_dialog->Map().hide();
        m_dialog->Conversations().hide();
        m_dialog->Uses().hide();
        Show();
        // Which of its edges each control moves with the window's right and bottom edges.
        const struct { const char *name; int left, top, right, bottom; } rules[] = {
            {"pageGroup", 0, 0, 1, 0}, {"npcSpeechGroup", 0, 0, 1, 0}, {"optionsGroup", 0, 0, 1, 1}, {"descriptionEdit", 0, 0, 1, 0},
            {"speechEdit", 0, 0, 1, 0}, {"optionList", 0, 0, 1, 1}, {"openButton", 1, 1, 1, 1}, {"saveButton", 1, 1, 1, 1},
            {"exitButton", 1, 1, 1, 1}, {"statusLine", 0, 1, 0, 1}, {"goToButton", 0, 1, 0, 1}, {"newPageButton", 0, 1, 0, 1},
            {"addOptionButton", 0, 1, 0, 1}, {"deleteOptionButton", 0, 1, 0, 1}, {"editOptionButton", 0, 1, 0, 1},
            {"goToResultButton", 0, 1, 0, 1}, {"moveDownButton", 0, 1, 0, 1}, {"moveUpButton", 0, 1, 0, 1},
            {"nameEdit", 0, 0, 0, 0}, {"changeButton", 0, 0, 0, 0}, {"editSpeechButton", 0, 0, 0, 0},
            {"viewFemaleButton", 0, 0, 0, 0}, {"speechCaption", 0, 0, 0, 0}};
        QWidget *client = Find<QWidget>("client");
        const QList<QWidget *> controls = client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QList<QRect> all;
        for (QWidget *child : controls)
            all << child->geometry();
        QMap<QString, QRect> before;
        for (const auto &rule : rules)
            before[rule.name] = Find<QWidget>(rule.name)->geometry();
        const QSize start = m_dialog->size();
        const QSize clientSize = client->size();
        // Last, smaller than the template, which it never is.
        for (const QSize grow : {QSize(40, 0), QSize(40, 30), QSize(0, 0), QSize(-100, -100)}) {
            m_dialog->resize(start + grow);
            const int x = qMax(grow.width(), 0), y = qMax(grow.height(), 0);
            QTRY_COMPARE(client->size(), clientSize + QSize(x, y));
            for (const auto &rule : rules)
                QCOMPARE(Find<QWidget>(rule.name)->geometry(),
                         before[rule.name].adjusted(rule.left * x, rule.top * y, rule.right * x, rule.bottom * y));
        }
        for (int i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), all[i]);
    }

    // With every panel shown and the find bar open, the window fits a
    // 1024 by 768 screen with room for its frame and a task bar; no panel's
    // message widens it.
    void fitsASmallScreen()
    {
        Open("{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n");
        m_dialog->Find().Open(true);
        m_dialog->Problems().show();
        m_dialog->Map().show();
        m_dialog->Conversations().show();
        m_dialog->Uses().show();
        m_dialog->Differences().show();
        QApplication::processEvents();
        const QSize least = m_dialog->minimumSizeHint().expandedTo(m_dialog->minimumSize());
        QVERIFY2(least.width() <= 1000 && least.height() <= 690, qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
        m_dialog->Map().statusLabel->setText(QString(400, QLatin1Char('x')));
        QApplication::processEvents();
        QCOMPARE(m_dialog->minimumSizeHint().expandedTo(m_dialog->minimumSize()), least);
    }

    void entriesAreMeasuredWhenAdded()
    {
        Open("{1}{A}{A}{}{}{}{}\n");
        COptionListBox *list = List();
        list->InsertEntry(-1, QStringLiteral("one"), Page());
        list->InsertEntry(-1, QStringLiteral("one\ntwo\nthree"), Page());
        list->InsertEntry(-1, QString(40, QLatin1Char('x')).append(QStringLiteral(" word")).repeated(8), Page());
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

    // Measuring by the widths of lines and words, kept from entry to entry,
    // gives what laying each entry out in full gives: lines that fit, lines
    // that wrap, lines at the width's edge, characters of another font.
    void entriesMeasureAsTheyAreLaidOut()
    {
        Open("{1}{A}{A}{}{}{}{}\n");
        COptionListBox *list = List();
        const auto laidOut = [list](const QString &text) {
            QTextLayout layout(QString(text).replace(QLatin1Char('\n'), QChar::LineSeparator), list->font());
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            qreal y = 0;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(list->TextWidth());
                line.setPosition(QPointF(0, y));
                y += line.height();
            }
            layout.endLayout();
            return qCeil(y) + 5;
        };
        QStringList texts{QStringLiteral("Hello"), QStringLiteral("one\ntwo\nthree"), QStringLiteral("Caf\u00e9 \u201cquoted\u201d \u2026")};
        const QString word = QStringLiteral("word ");
        for (int words = 1; words < 60; words += 3)
            texts << word.repeated(words).trimmed() + QStringLiteral("\nDisplayed always");
        texts << QStringLiteral("\u4e2d\u6587 and more") << QString(300, QLatin1Char('x'));
        for (int round = 0; round < 2; ++round) { // the second from what was kept
            for (const QString &text : texts)
                QCOMPARE(list->MeasureItem(text), laidOut(text));
        }
    }

    void rightClickSelectsThenShowsTheMenu()
    {
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
        QCOMPARE(menuItems, (QStringList{"&Add option...", "", "Edit opt&ion", "De&lete option", "Move option &up",
                                         "Move option do&wn", "Go to &result page", "", "Cu&t", "&Copy", "&Paste (off)"}));
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, second);
    }

    void statusLineRunsOnTheWindowTimers()
    {
        QVERIFY(Start());
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
