#include "GuiTestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QStandardPaths>
#include <QTimer>

namespace {
// The window tests keep their settings (recent files) apart from the user's.
const bool kTestSettings = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();
} // namespace

QString GuiTest::Write(const QString &name, const QByteArray &bytes) const
{
    const QString path = Path(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray GuiTest::Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool GuiTest::Start(const std::string &path)
{
    m_dialog = std::make_unique<CMainDialog>(path, m_prompter);
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

void GuiTest::init()
{
    m_prompter = ScriptedPrompter();
    m_dialogsRun = 0;
}

void GuiTest::cleanup()
{
    m_dialog.reset();
    QVERIFY2(m_prompter.Done(), "every scripted answer is used");
}
