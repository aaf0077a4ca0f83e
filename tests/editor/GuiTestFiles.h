#pragma once

#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "app/CMainDialog.h"
#include "app/COptionListBox.h"
#include "session/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

// The window tests' fixture: scratch files, the scripted prompter, the
// window under test and the ways to drive it. Each test class derives from
// it; its init and cleanup run around every test.
class GuiTest : public QObject {
    Q_OBJECT
public:
    TestFiles m_files;
    ScriptedPrompter m_prompter;
    // The window's session outlives it, as in the program.
    std::unique_ptr<EditingSession> m_session;
    std::unique_ptr<CMainDialog> m_dialog;
    int m_dialogsRun = 0; // modal dialogs that WhenModal filled

    // A path as the system spells it, as the window takes it, and back.
    static std::string Sys(const QString &path) { return QFile::encodeName(path).toStdString(); }
    static QString FromSys(const std::string &path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
    QString Path(const QString &name) const { return FromSys(m_files.Path(Sys(name))); }
    QString Write(const QString &name, const QByteArray &bytes) const { return FromSys(m_files.Write(Sys(name), bytes.toStdString())); }
    static QByteArray Read(const QString &path) { return QByteArray::fromStdString(TestFiles::ReadBytes(Sys(path))); }

    // Starts the window as the program does, on a command-line file.
    bool Start(const std::string &path = {});
    bool Start(const QString &path) { return Start(Sys(path)); }
    // Writes bytes to name, starts the window on it and shows it.
    void Open(const QByteArray &bytes, const QString &name = QStringLiteral("nav.dlg"));
    void Show();
    QStringList Asked() { return m_prompter.TakeAsked(); }
    QString Title() const { return m_dialog->windowTitle(); }
    DialogFile *Doc() const { return m_dialog->Session().GetDocument(); }
    DialogLine *Page() const { return m_dialog->Session().GetCurrentPage(); }
    QString Name() { return Find<QLineEdit>("nameEdit")->text(); }
    COptionListBox *List() { return Find<COptionListBox>("optionList"); }

    // The child with this object name; fails the test when there is none.
    template <typename T>
    static T *In(QWidget *parent, const char *objectName);
    template <typename T>
    T *Find(const char *objectName) { return In<T>(m_dialog.get(), objectName); }
    static void Click(QWidget *parent, const char *name) { QTest::mouseClick(In<QWidget>(parent, name), Qt::LeftButton); }
    void Press(const char *button) { Click(m_dialog.get(), button); }
    static void DoubleClick(QListWidget *list, int row);
    // Runs fill on the next modal dialog as soon as it opens; a check that
    // fails inside fill closes the dialog, so the test goes on to report it.
    void WhenModal(std::function<void(QWidget *)> fill);
    void WhenModal(const QStringList &script) { WhenModal([script](QWidget *dialog) { Act(dialog, script); }); }

    // What a control shows: "-" first when it is disabled, then a check or
    // radio button's "on" or "off", another button's, a label's or a box's
    // text, or a list's entry.
    static QString State(QWidget *control);
    // Drives the controls in parent: "name" clicks one, "name=text" puts
    // text in a box or chooses it in a list, "name?state" checks what it
    // shows; "ok" presses OK and checks that no message came, "ok?message"
    // that this one came and the dialog stayed open.
    static void Act(QWidget *parent, const QStringList &script);
    // Presses OK and closes the message it shows, if any: returns its caption and text.
    static QString PressOk(QWidget *dialog);

protected slots:
    void init();
    void cleanup();
};

template <typename T>
T *GuiTest::In(QWidget *parent, const char *objectName)
{
    T *child = parent->findChild<T *>(QLatin1String(objectName));
    if (!child)
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + QLatin1String(objectName)), __FILE__, __LINE__);
    return child;
}
