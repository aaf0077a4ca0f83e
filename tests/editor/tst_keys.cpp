// Keys do what the writer sees: Enter saves only from the page, every Alt
// key belongs to one control of its window, every control can be reached
// with Tab in reading order, and a command looks the same wherever it is
// offered. Everything runs on the real window with every panel shown.
#include "GuiTestFiles.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CPlayDlg.h"
#include "dialogs/CRecoverDlg.h"
#include "panels/ConversationsPanel.h"
#include "panels/DifferencesPanel.h"
#include "panels/FindBar.h"
#include "panels/UsesPanel.h"
#include "session/GameFolder.h"
#include "app/LinksHereLabel.h"
#include "panels/MapPanel.h"
#include "panels/MapView.h"
#include "panels/OutlinePanel.h"
#include "panels/ProblemsPanel.h"
#include "ui/QtPrompter.h"
#include "dialogs/CGotoPageDlg.h"
#include "dialogs/CNpcSpeechDlg.h"
#include "dialogs/CPageInfoDlg.h"
#include "dialogs/CPcOptionDlg.h"
#include "dialogs/SpellingDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeView>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The letter a text's "&" marks, in lower case; none for "&&" or no "&".
QChar Mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

QString Describe(const QObject *owner, const QString &text)
{
    return QStringLiteral("%1 \"%2\"").arg(owner->objectName().isEmpty() ? QString::fromLatin1(owner->metaObject()->className()) : owner->objectName(), text);
}

bool InPanel(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QDockWidget *>(w))
            return true;
    }
    return false;
}

// The text with which a control claims an Alt key, if it is one that can.
QString ClaimingText(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget); label && label->buddy())
        return label->text();
    return {};
}

// The Alt keys of a window or dialog: its menu bar's titles and its visible
// controls (panels included). Every letter claimed twice is named with
// both owners.
QStringList Collisions(QWidget *window)
{
    QMap<QChar, QString> owners;
    QStringList collisions;
    const auto claim = [&](const QObject *owner, const QString &text) {
        const QChar key = Mnemonic(text);
        if (key.isNull())
            return;
        if (owners.contains(key))
            collisions << QStringLiteral("Alt+%1: %2 and %3").arg(key.toUpper(), owners[key], Describe(owner, text));
        else
            owners[key] = Describe(owner, text);
    };
    if (auto *main = qobject_cast<QMainWindow *>(window)) {
        for (QAction *title : main->menuBar()->actions())
            claim(title, title->text());
    }
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(window) && !qobject_cast<QMenu *>(widget))
            claim(widget, ClaimingText(widget));
    }
    return collisions;
}

// The letters claimed twice within one menu, and its items without one.
QStringList MenuFaults(const QMenu *menu)
{
    QMap<QChar, QString> owners;
    QStringList faults;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const QChar key = Mnemonic(action->text());
        if (key.isNull())
            faults << QStringLiteral("%1: \"%2\" has no Alt key").arg(menu->title(), action->text());
        else if (owners.contains(key))
            faults << QStringLiteral("%1: Alt+%2: \"%3\" and \"%4\"").arg(menu->title(), key.toUpper(), owners[key], action->text());
        else
            owners[key] = action->text();
        if (action->menu())
            faults << MenuFaults(action->menu());
    }
    return faults;
}

// Outside the panels, which take no Alt keys, every push button, choice and
// labelled field has one; OK, Cancel and Close, which Enter and Escape press,
// may go without. Every button says what it is to assistive technology.
QStringList MissingKeys(QWidget *window)
{
    QStringList missing;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window) || qobject_cast<QMenu *>(widget))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
                missing << Describe(button, button->text()) + QStringLiteral(" has no accessible name");
            if (button->text().isEmpty() && button->icon().isNull())
                missing << Describe(button, button->text()) + QStringLiteral(" shows nothing");
        }
        if (InPanel(widget) || qobject_cast<QToolButton *>(widget))
            continue;
        const QString text = ClaimingText(widget);
        if (text.isEmpty() && !qobject_cast<QAbstractButton *>(widget))
            continue;
        auto *push = qobject_cast<QPushButton *>(widget);
        const QString plain = QString(text).remove(QLatin1Char('&'));
        const bool pressedByEnterOrEscape = push && (push->isDefault() || plain == "OK" || plain == "Cancel" || plain == "Close");
        if (Mnemonic(text).isNull() && !pressedByEnterOrEscape && widget->objectName() != "conditionPasses")
            missing << Describe(widget, text) + QStringLiteral(" has no Alt key");
    }
    return missing;
}

// The controls that Tab visits from the one with the focus, until it comes
// back to it: object names, or accessible names where there is none.
QStringList TabChain(QWidget *window, int most = 60)
{
    QStringList chain;
    QWidget *start = window->focusWidget();
    if (!start)
        return {"(no focus)"};
    QWidget *at = start;
    for (int i = 0; i < most; ++i) {
        chain << (at->objectName().isEmpty() ? at->accessibleName() : at->objectName());
        QTest::keyClick(at, Qt::Key_Tab);
        at = window->focusWidget();
        if (!at || at == start)
            break;
    }
    return chain;
}

} // namespace

// Where Enter is pressed, what is there, and what Enter does there.
struct EnterCase {
    const char *place;
    std::function<void(GuiTest &)> prepare; // puts the focus in the place
    std::function<void(GuiTest &)> check;   // what Enter did
    bool saves;
};
Q_DECLARE_METATYPE(EnterCase)

class TestKeys : public GuiTest {
    Q_OBJECT

    // Three pages; nothing leads to Ferry, so that the problems panel has a finding.
    static constexpr const char *kFile = "// [LABEL] Inn\n{1}{Hello}{Hello}{}{}{}{}\n{2}{To the mill}{}{1}{}{21}{}\n{3}{Bye}{}{1}{}{}{}\n"
                                         "// [LABEL] Mill\n{21}{Grind}{Grind}{}{}{}{}\n{22}{Back}{}{1}{}{1}{}\n"
                                         "// [LABEL] Ferry\n{41}{Mill? no}{Mill? no}{}{}{}{}\n{42}{mill}{}{1}{}{1}{}\n";

    // Every panel shown, the find bar with its replace row, the map, the
    // problems, the game's folder and the differences from a version
    // whose ferry said yes caught up. The game's panels, which
    // share the map's place, are put under the problems, so that all are
    // on the screen at once.
    void OpenWithPanels()
    {
        Open(kFile);
        m_dialog->Outline().show();
        m_dialog->Problems().show();
        m_dialog->Map().show();
        m_prompter.fileNames << Write(QStringLiteral("other.dlg"), QByteArray(kFile).replace("Mill? no", "Mill? yes"));
        Find<QAction>("actionCompareWith")->trigger();
        m_dialog->Find().Open(true);
        m_dialog->splitDockWidget(&m_dialog->Problems(), &m_dialog->Conversations(), Qt::Vertical);
        m_dialog->splitDockWidget(&m_dialog->Conversations(), &m_dialog->Uses(), Qt::Vertical);
        m_dialog->Conversations().show();
        m_dialog->Uses().show();
        QTRY_VERIFY(m_dialog->Problems().IsUpToDate());
        QTRY_VERIFY(m_dialog->Differences().IsUpToDate());
        QTRY_VERIFY(m_dialog->Map().IsUpToDate());
        QTRY_VERIFY(m_dialog->Folder().IsUpToDate());
        QTRY_VERIFY(m_dialog->Uses().IsUpToDate());
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    void Focus(QWidget *widget)
    {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }

private slots:
    // Enter in every panel, bar and list does that place's own thing and
    // never writes the file; in the page it saves, as it always has. Fails
    // if a panel passes Enter on to the window, or the window decides by
    // where the focus went after the panel's action.
    void enterSavesOnlyFromThePage_data()
    {
        QTest::addColumn<EnterCase>("c");
        const auto shown = [](GuiTest &t) { return QString::fromStdString(t.m_dialog->Session().GetCurrentPage()->GetLabel()); };
        QTest::newRow("find box") << EnterCase{"find box",
            [](GuiTest &t) { t.m_dialog->Find().findEdit->setText(QStringLiteral("grind")); t.m_dialog->Find().findEdit->setFocus(); },
            [=](GuiTest &t) { QCOMPARE(shown(t), QStringLiteral("Mill")); }, false};
        QTest::newRow("replace box") << EnterCase{"replace box",
            [](GuiTest &t) {
                t.m_dialog->Find().findEdit->setText(QStringLiteral("grind"));
                t.m_dialog->Find().replaceEdit->setText(QStringLiteral("mill"));
                t.m_dialog->Find().replaceEdit->setFocus();
                t.m_prompter.answers << Prompter::Cancel;
            },
            [](GuiTest &t) { QVERIFY(t.m_prompter.asked.join(QLatin1Char(10)).contains("Replace all will change")); }, false};
        QTest::newRow("outline") << EnterCase{"outline",
            [](GuiTest &t) {
                QTreeView *pages = t.m_dialog->Outline().pageView;
                pages->setFocus();
                pages->setCurrentIndex(pages->model()->index(2, 0));
            },
            [=](GuiTest &t) { QCOMPARE(shown(t), QStringLiteral("Ferry")); }, false};
        QTest::newRow("outline filter") << EnterCase{"outline filter",
            [](GuiTest &t) {
                t.m_dialog->Outline().filterEdit->setText(QStringLiteral("mill"));
                t.m_dialog->Outline().filterEdit->setFocus();
            },
            [=](GuiTest &t) { QCOMPARE(shown(t), QStringLiteral("Mill")); }, false};
        QTest::newRow("problems") << EnterCase{"problems",
            [](GuiTest &t) {
                QTreeView *problems = t.m_dialog->Problems().problemView;
                problems->setFocus();
                problems->setCurrentIndex(problems->model()->index(0, 0));
            },
            [=](GuiTest &t) { QCOMPARE(shown(t), QStringLiteral("Ferry")); }, false};
        QTest::newRow("differences") << EnterCase{"differences",
            [](GuiTest &t) {
                QTreeView *differences = t.m_dialog->Differences().differenceView;
                differences->setFocus();
                differences->setCurrentIndex(differences->model()->index(differences->model()->rowCount() - 1, 0));
            },
            [=](GuiTest &t) { QCOMPARE(shown(t), QStringLiteral("Ferry")); }, false};
        QTest::newRow("map") << EnterCase{"map",
            [](GuiTest &t) {
                MapView *map = t.m_dialog->Map().view;
                map->setFocus();
                QTest::keyClick(map, Qt::Key_Down); // from the first page to one it leads to
            },
            [=](GuiTest &t) { QVERIFY(shown(t) != QStringLiteral("Inn")); }, false};
        QTest::newRow("conversations") << EnterCase{"conversations",
            [](GuiTest &t) {
                ConversationsPanel &panel = t.m_dialog->Conversations();
                panel.fileView->setFocus();
                panel.fileView->setCurrentIndex(panel.ViewIndexOf(GameFolder::Spelling(t.m_files.Path("nav.dlg"))));
            },
            [](GuiTest &t) { QVERIFY(t.Title().endsWith(QStringLiteral("/nav.dlg - Quorvel Dialog Editor"))); }, false};
        QTest::newRow("conversations filter") << EnterCase{"conversations filter",
            [](GuiTest &t) {
                t.m_dialog->Conversations().filterEdit->setText(QStringLiteral("nav"));
                t.m_dialog->Conversations().filterEdit->setFocus();
            },
            [](GuiTest &t) { QVERIFY(t.Title().endsWith(QStringLiteral("/nav.dlg - Quorvel Dialog Editor"))); }, false};
        QTest::newRow("uses filter") << EnterCase{"uses filter",
            [](GuiTest &t) { t.m_dialog->Uses().filterEdit->setFocus(); }, [](GuiTest &) {}, false};
        QTest::newRow("option list") << EnterCase{"option list", [](GuiTest &t) { t.List()->setFocus(); }, [](GuiTest &) {}, true};
        QTest::newRow("page button") << EnterCase{"page button",
            [](GuiTest &t) { t.Find<QPushButton>("newPageButton")->setFocus(); },
            [](GuiTest &t) { QCOMPARE(t.m_dialog->Session().GetDocument()->GetPageCount(), 4); }, false};
    }
    void enterSavesOnlyFromThePage()
    {
        QFETCH(EnterCase, c);
        OpenWithPanels();
        // Modified, and on disk as it was read.
        m_dialog->Session().ChangePageInfo(*Doc()->GetPage(0), "Inn", "the inn");
        m_dialog->RefreshPage();
        QTRY_VERIFY(m_dialog->Problems().IsUpToDate());
        const QByteArray before = Read(Path("nav.dlg"));
        QVERIFY(Title().startsWith('*'));
        c.prepare(*this);
        QWidget *place = QApplication::focusWidget();
        QVERIFY2(place, c.place);
        QTest::keyClick(place, Qt::Key_Return);
        QTRY_VERIFY(m_prompter.answers.isEmpty());
        c.check(*this);
        if (c.saves) {
            QVERIFY(!Title().startsWith('*'));
            QVERIFY(Read(Path("nav.dlg")) != before);
        } else {
            QVERIFY2(Title().startsWith('*'), c.place);
            QCOMPARE(Read(Path("nav.dlg")), before);
        }
    }

    // No Alt key is claimed twice in the window with every panel shown,
    // nor in one of its menus; every menu item and every control outside
    // the panels has one.
    void everyAltKeyOnceInTheWindow()
    {
        OpenWithPanels();
        QWidget *window = m_dialog.get();
        QCOMPARE(Collisions(window), QStringList());
        QCOMPARE(MissingKeys(window), QStringList());
        QStringList faults;
        for (QAction *title : m_dialog->menuBar()->actions()) {
            if (Mnemonic(title->text()).isNull())
                faults << title->text() + " has no Alt key";
            faults << MenuFaults(title->menu());
        }
        QCOMPARE(faults.join(QStringLiteral("; ")), QString());

        // The context menus of the option list and the outline.
        QStringList menuFaults;
        const auto inspect = [&] {
            QTimer::singleShot(0, this, [&menuFaults] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                menuFaults << (menu ? MenuFaults(menu) : QStringList{"no menu"});
                if (menu)
                    menu->close();
            });
        };
        inspect();
        m_dialog->OnContextMenu(List()->visualItemRect(List()->item(0)).center());
        QTreeView *pages = m_dialog->Outline().pageView;
        inspect();
        emit pages->customContextMenuRequested(pages->visualRect(pages->model()->index(1, 0)).center());
        QCOMPARE(menuFaults, QStringList());
    }

    // Each dialog the window opens, as it opens it: no Alt key twice, every
    // control with one.
    void everyAltKeyOnceInEachDialog()
    {
        Open("// [LABEL] Inn\n{1}{Hello}{Hi}{}{}{}{}\n{2}{R:20,mill,ferry}{}{-8}{C}{21}{R}\n// [LABEL] Mill\n{21}{M:5,1}{M:5,1}{}{}{}{}\n");
        DialogFile *file = Doc();
        DialogLine *page = Page();
        DialogLine *current = page;
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<CNpcSpeechDlg>(page, file, m_dialog.get()));
        dialogs.push_back(std::make_unique<CNpcSpeechDlg>(file->GetPage(1), file, m_dialog.get())); // Request money
        dialogs.push_back(std::make_unique<CPcOptionDlg>(page->GetOption(0), file, m_dialog.get()));
        dialogs.push_back(std::make_unique<CGotoPageDlg>(file, current, m_dialog.get()));
        dialogs.push_back(std::make_unique<CPageInfoDlg>(m_dialog.get()));
        dialogs.push_back(std::make_unique<CPlayDlg>(m_dialog->Session(), page, m_dialog.get()));
        dialogs.push_back(std::make_unique<CRecoverDlg>(QStringList{"a.dlg - 2026-01-01 10:00"}, m_dialog.get()));
        dialogs.push_back(std::make_unique<CAboutDlg>(m_dialog.get()));
        dialogs.push_back(std::make_unique<SpellingDialog>(QStringList{"de_DE", "en_US"}, "en_GB", false, m_dialog.get()));
        for (const auto &dialog : dialogs) {
            const QString title = dialog->windowTitle();
            QCOMPARE(Collisions(dialog.get()), QStringList());
            QCOMPARE(MissingKeys(dialog.get()), QStringList());
            QVERIFY2(!title.isEmpty(), "each dialog has a title");
        }
    }

    // The program's questions through the real message box: each button
    // shows its own text, with no icon, has an accessible name, and Enter
    // and Escape give the answers that change nothing. Fails if a button
    // given no text of its own is left empty (a bare icon), or if the
    // texts go to the wrong buttons.
    void questionsShowTheirButtons()
    {
        QtPrompter prompter;
        QWidget parent;
        const struct {
            Prompter::Buttons buttons;
            QStringList given, shown;
            Prompter::Answer byDefault, byEscape;
        } cases[] = {
            {Prompter::YesCancel, {"&Delete", QString(), "Cancel"}, {"&Delete", "Cancel"}, Prompter::Cancel, Prompter::Cancel},
            {Prompter::YesNoCancel, {"&Restore", "&Discard", "&Show differences"}, {"&Restore", "&Discard", "&Show differences"},
             Prompter::Yes, Prompter::Cancel},
            {Prompter::YesNo, {}, {"&Yes", "&No"}, Prompter::No, Prompter::No},
        };
        for (const auto &c : cases) {
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
                QStringList shown;
                QTimer::singleShot(0, &parent, [&shown, key] {
                    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                    QVERIFY(box);
                    for (QAbstractButton *button : box->buttons()) {
                        shown << button->text();
                        QVERIFY2(button->icon().isNull(), qPrintable(button->text()));
                        QVERIFY(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty());
                    }
                    QTest::keyClick(box, key);
                });
                const Prompter::Answer answer = prompter.Ask(&parent, "q", "text", c.buttons, Prompter::Question, c.byDefault, c.given);
                std::sort(shown.begin(), shown.end());
                QStringList expected = c.shown;
                std::sort(expected.begin(), expected.end());
                QCOMPARE(shown, expected);
                QCOMPARE(answer, key == Qt::Key_Return ? c.byDefault : c.byEscape);
            }
        }
    }

    // Tab reads each dialog left to right, top to bottom; a pair of radio
    // buttons is one stop, which the arrow keys move within.
    void tabFollowsEachDialog()
    {
        Open("// [LABEL] Inn\n{1}{Hello}{Hi}{}{}{}{}\n{2}{Go}{}{5}{C}{1}{R}\n");
        DialogFile *file = Doc();
        DialogLine *page = Page();
        {
            CPcOptionDlg dialog(page->GetOption(0), file, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "unique")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"unique", "speech", "conditions", "jumpTo", "results", "checkOn", "comparison",
                                                    "intelligence", "description", "gender", "ok", "cancel"}));
            // Up chooses the other way: generated speech, whose kind list
            // then follows in the chain.
            QTest::keyClick(In<QWidget>(&dialog, "unique"), Qt::Key_Up);
            QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("generated"));
            QCOMPARE(GuiTest::State(In<QWidget>(&dialog, "generated")), QStringLiteral("on"));
            QCOMPARE(TabChain(&dialog).mid(0, 2), (QStringList{"generated", "kind"}));
        }
        {
            CNpcSpeechDlg dialog(page, file, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "maleUnique")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"maleUnique", "maleText", "different", "femaleUnique", "femaleText", "ok", "cancel"}));
        }
        {
            CPageInfoDlg dialog(m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "name")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"name", "description", "ok", "cancel"}));
        }
        {
            CPlayDlg dialog(m_dialog->Session(), page, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "gender")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"gender", "intelligence", "npcSpeech", "options", "conditionPasses", "path", "editPage",
                                                    "copyCommand", "close"}));
        }
        {
            CRecoverDlg dialog({QStringLiteral("a.dlg - 2026-01-01 10:00")}, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "recoveryList")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"recoveryList", "restoreButton", "discardButton", "closeButton"}));
        }
        {
            DialogLine *current = page;
            CGotoPageDlg dialog(file, current, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "pageList")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"pageList", "ok", "cancel"}));
        }
        {
            SpellingDialog dialog({"en_US"}, "en_US", false, m_dialog.get());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            In<QWidget>(&dialog, "language")->setFocus();
            QCOMPARE(TabChain(&dialog), (QStringList{"language", "lowIntelligence", "ok", "cancel"}));
        }
    }

    // In the window, Tab follows the page from top to bottom, then what
    // leads to it, then the panels where they stand.
    void tabFollowsTheWindow()
    {
        OpenWithPanels();
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(1));
        m_dialog->RefreshPage();
        Find<QWidget>("changeButton")->setFocus();
        const QStringList chain = TabChain(m_dialog.get());
        const QStringList page{"changeButton", "editSpeechButton", "speechEdit", "optionList", "goToResultButton", "deleteOptionButton",
                               "editOptionButton", "addOptionButton", "goToButton", "newPageButton", "openButton", "saveButton",
                               "exitButton", "linkHere1"};
        QCOMPARE(chain.mid(0, page.size()), page);
        const QStringList rest = chain.mid(page.size());
        // The left column (outline, problems, differences, the game's panels),
        // then the right one (map, find bar).
        const QStringList panels{"outlineFilter", "outlineView", "spellingSwitch", "problemView", "conversationsFilter",
                                 "conversationsView", "usesFilter", "usesView", "differenceView", "mapProfile", "mapView", "findText", "findScope", "findResults"};
        qsizetype last = -1;
        for (const QString &name : panels) {
            const qsizetype at = rest.indexOf(name);
            QVERIFY2(at > last, qPrintable(name + " in " + rest.join(' ')));
            last = at;
        }
    }

    // One command, one state: its menu item, its button and its entry in
    // the option list's context menu are enabled together, with one option
    // selected, none, or several.
    void commandsShowOneState()
    {
        Open("{1}{A}{A}{}{}{}{}\n{2}{x}{}{}{}{}{}\n{3}{y}{}{}{}{}{}\n");
        const struct { const char *action, *button, *entry; } commands[] = {
            {"actionAddOption", "addOptionButton", "&Add option..."}, {"actionEditOption", "editOptionButton", "Edit opt&ion"},
            {"actionDeleteOption", "deleteOptionButton", "De&lete option"}, {"actionMoveUp", "moveUpButton", "Move option &up"},
            {"actionMoveDown", "moveDownButton", "Move option do&wn"}, {"actionGoToResult", "goToResultButton", "Go to &result page"},
            {"actionGotoPage", "goToButton", nullptr}, {"actionEditNpcSpeech", "editSpeechButton", nullptr},
            {"actionChangePageInfo", "changeButton", nullptr}, {"actionNewPage", "newPageButton", nullptr},
            {"actionOpen", "openButton", nullptr}, {"actionSave", "saveButton", nullptr}, {"actionExit", "exitButton", nullptr},
            {"actionCut", nullptr, "Cu&t"}, {"actionCopy", nullptr, "&Copy"}, {"actionPaste", nullptr, "&Paste"}};
        // No option, each one, and both of them (2: the two).
        for (int row : {-1, 0, 1, 2}) {
            if (row < 0)
                List()->clearSelection();
            else
                List()->setCurrentRow(std::min(row, 1));
            if (row == 2)
                List()->item(0)->setSelected(true);
            QMap<QString, bool> entries;
            QTimer::singleShot(0, this, [&entries] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction *item : menu->actions())
                    entries[item->text()] = item->isEnabled();
                menu->close();
            });
            m_dialog->OnContextMenu(List()->viewport()->rect().center());
            for (const auto &command : commands) {
                const bool enabled = Find<QAction>(command.action)->isEnabled();
                QVERIFY2(!command.button || Find<QWidget>(command.button)->isEnabled() == enabled, command.button);
                if (command.entry)
                    QVERIFY2(entries.value(command.entry, !enabled) == enabled, command.entry);
            }
        }
        // Go to any page is there whatever is selected: a new document too.
        List()->clearSelection();
        QVERIFY(Find<QAction>("actionGotoPage")->isEnabled());
    }

    // A click in a panel leaves the focus there: after a click on a map box,
    // the map's zoom keys still work; after a click in the outline, the
    // arrow keys still move in it.
    void clicksKeepTheFocus()
    {
        OpenWithPanels();
        QTreeView *pages = m_dialog->Outline().pageView;
        QTest::mouseClick(pages->viewport(), Qt::LeftButton, {}, pages->visualRect(pages->model()->index(1, 0)).center());
        QCOMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(QApplication::focusWidget(), pages);

        MapView *map = m_dialog->Map().view;
        QTest::mouseClick(map->viewport(), Qt::LeftButton, {}, map->PagePoint(2));
        QCOMPARE(Page(), Doc()->GetPage(2));
        QCOMPARE(QApplication::focusWidget(), map);
        const double scale = map->transform().m11();
        QTest::keyClick(map, Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY2(map->transform().m11() > scale, "Ctrl+plus zooms in");
    }

    // Each link to what leads here is its own stop, read by its page's name
    // and its option's speech, and Enter follows it.
    void linksAreReachedByTab()
    {
        Open(kFile);
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(0));
        m_dialog->RefreshPage();
        const QList<QLabel *> links = Find<LinksHereLabel>("linksHere")->GetLinks();
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[0]->accessibleName(), QStringLiteral("Mill, option 1: Back"));
        QCOMPARE(links[1]->accessibleName(), QStringLiteral("Ferry, option 1: mill"));
        Find<QWidget>("exitButton")->setFocus();
        QTest::keyClick(Find<QWidget>("exitButton"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), links[0]);
        QTest::keyClick(links[0], Qt::Key_Return);
        QTRY_COMPARE(Page(), Doc()->GetPage(1));
        QCOMPARE(List()->currentRow(), 0);
        QVERIFY(!Doc()->IsModified());
    }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
