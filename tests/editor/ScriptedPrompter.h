#pragma once

#include "app/Prompter.h"

#include <QQueue>
#include <QStringList>
#include <QTest>
#include <utility>

// Answers the main window's prompts from a script and records what was
// asked. A prompt with no answer scripted fails the test that reached it.
class ScriptedPrompter : public Prompter {
public:
    QQueue<Answer> answers;
    QQueue<QString> fileNames; // an empty name cancels the file dialog
    QStringList asked;         // "caption|text" of every question and message, in order
    QStringList proposed;      // the names that Save As proposed
    // With no answer scripted, press Enter: take each question's default
    // and cancel each file dialog (nothing typed), instead of failing.
    bool pressEnter = false;

    Answer Ask(QWidget *, const QString &caption, const QString &text, Buttons, Icon, Answer defaultAnswer,
               const QStringList & = {}) override
    {
        asked << caption + QLatin1Char('|') + text;
        if (!answers.isEmpty())
            return answers.dequeue();
        if (!pressEnter)
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
        return pressEnter ? defaultAnswer : Cancel;
    }
    void Tell(QWidget *, const QString &caption, const QString &text, Icon) override { asked << caption + QLatin1Char('|') + text; }
    QString GetOpenFileName(QWidget *, const QString &) override { return FileName(QStringLiteral("Open")); }
    QString GetSaveFileName(QWidget *, const QString &proposedName) override
    {
        proposed << proposedName;
        return FileName(QStringLiteral("Save As"));
    }

    // What was asked since the last call, in order.
    QStringList TakeAsked() { return std::exchange(asked, {}); }
    // Whether every scripted answer was used.
    bool Done() const { return answers.isEmpty() && fileNames.isEmpty(); }

private:
    QString FileName(const QString &dialog)
    {
        asked << dialog;
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
};
