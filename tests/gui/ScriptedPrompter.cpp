#include "ScriptedPrompter.h"

#include <QTest>

Prompter::Answer ScriptedPrompter::Ask(QWidget *, const QString &caption, const QString &text, Buttons, Icon, Answer defaultAnswer,
                                       const QStringList &)
{
    asked << caption + QLatin1Char('|') + text;
    if (!answers.isEmpty())
        return answers.dequeue();
    if (!pressEnter)
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
    return pressEnter ? defaultAnswer : Cancel;
}

void ScriptedPrompter::Tell(QWidget *, const QString &caption, const QString &text, Icon)
{
    asked << caption + QLatin1Char('|') + text;
}

QString ScriptedPrompter::GetOpenFileName(QWidget *, const QString &)
{
    asked << QStringLiteral("Open");
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedPrompter::GetSaveFileName(QWidget *, const QString &proposedName)
{
    asked << QStringLiteral("Save As");
    proposed << proposedName;
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QStringList ScriptedPrompter::TakeAsked()
{
    QStringList taken;
    taken.swap(asked);
    return taken;
}
