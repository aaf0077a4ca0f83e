#include "GuiTestFiles.h"

#include "session/RecoveryKeeper.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace {
// The window tests keep their settings (recent files) apart from the user's.
const bool kTestSettings = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();
} // namespace

bool GuiTest::Start(const std::string &path)
{
    m_dialog.reset(); // one window at a time, as in the program
    m_session = std::make_unique<EditingSession>();
    m_dialog = std::make_unique<CMainDialog>(*m_session, path, m_prompter);
    return m_dialog->OnInitDialog();
}

void GuiTest::Open(const QByteArray &bytes, const QString &name)
{
    QVERIFY(Start(Write(name, bytes)));
    Show();
}

void GuiTest::Show()
{
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void GuiTest::DoubleClick(QListWidget *list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void GuiTest::WhenModal(std::function<void(QWidget *)> fill)
{
    QTimer::singleShot(0, this, [this, fill] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        ++m_dialogsRun;
        fill(modal);
        if (QTest::currentTestFailed() && modal->isVisible())
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
    });
}

QString GuiTest::State(QWidget *control)
{
    const QString off = control->isEnabled() ? QString() : QStringLiteral("-");
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return off + (!button->isCheckable() ? button->text() : button->isChecked() ? "on" : "off");
    if (auto *label = qobject_cast<QLabel *>(control))
        return off + label->text();
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return off + line->text();
    if (auto *box = qobject_cast<QPlainTextEdit *>(control))
        return off + box->toPlainText();
    return off + qobject_cast<QComboBox *>(control)->currentText();
}

void GuiTest::Act(QWidget *parent, const QStringList &script)
{
    for (const QString &step : script) {
        const qsizetype at = step.indexOf(QRegularExpression(QStringLiteral("[=?]")));
        const QString name = step.left(at), text = at < 0 ? QString() : step.mid(at + 1);
        QWidget *control = In<QWidget>(parent, qPrintable(name));
        if (!control)
            return;
        if (name == "ok") {
            if (!QTest::qCompare(PressOk(parent), text, "message", qPrintable(step), __FILE__, __LINE__)
                || !QTest::qVerify(text.isEmpty() || parent->isVisible(), "open", qPrintable(step), __FILE__, __LINE__))
                return;
        } else if (at < 0) {
            QTest::mouseClick(control, Qt::LeftButton);
        } else if (step[at] == '?') {
            if (!QTest::qCompare(State(control), text, "state", qPrintable(step), __FILE__, __LINE__))
                return;
        } else if (auto *line = qobject_cast<QLineEdit *>(control)) {
            line->setText(text);
        } else if (auto *box = qobject_cast<QPlainTextEdit *>(control)) {
            box->setPlainText(text);
        } else if (auto *list = qobject_cast<QComboBox *>(control)) {
            list->setCurrentIndex(list->findText(text));
        }
    }
}

QString GuiTest::PressOk(QWidget *dialog)
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
    Click(dialog, "ok");
    return seen;
}

void GuiTest::init()
{
    m_prompter = ScriptedPrompter();
    m_dialogsRun = 0;
    // No test is offered what an earlier one left to recover.
    if (const QString recovery = RecoveryKeeper::FolderPath(); !recovery.isEmpty())
        QDir(recovery).removeRecursively();
}

void GuiTest::cleanup()
{
    m_dialog.reset();
    m_session.reset();
    QVERIFY2(m_prompter.Done(), "every scripted answer is used");
}
