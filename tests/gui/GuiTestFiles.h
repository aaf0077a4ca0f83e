#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class CMainDialog;
class QWidget;

// Scratch files for the window tests and a way to find the window's parts.
class GuiTestFiles {
public:
    QString Write(const QString &name, const QByteArray &bytes) const;
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray Read(const QString &path);
    // A path as the system spells it, as the window takes it.
    static std::string Sys(const QString &path) { return QFile::encodeName(path).toStdString(); }

    // The child with this object name; fails the test when there is none.
    template <typename T>
    static T *Find(QWidget *window, const char *objectName);

private:
    QTemporaryDir m_dir;
};

#include <QTest>
#include <QWidget>

template <typename T>
T *GuiTestFiles::Find(QWidget *window, const char *objectName)
{
    T *child = window->findChild<T *>(QLatin1String(objectName));
    if (!child)
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + QLatin1String(objectName)), __FILE__, __LINE__);
    return child;
}
