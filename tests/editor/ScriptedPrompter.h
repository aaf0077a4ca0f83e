#pragma once

#include "ui/Prompter.h"

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
    QStringList proposed;      // the names that Save As and Compare with proposed
    // With no answer scripted, press Enter: take each question's default
    // and cancel each file dialog (nothing typed), instead of failing.
    bool pressEnter = false;

    Answer Ask(QWidget *, const QString &caption, const QString &text, Buttons buttons, Icon, Answer defaultAnswer,
               const QStringList &buttonTexts = {}) override
    {
        asked << caption + QLatin1Char('|') + text;
        CheckButtons(Prompter::ButtonTexts(buttons, buttonTexts));
        if (!answers.isEmpty())
            return answers.dequeue();
        if (!pressEnter)
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
        return pressEnter ? defaultAnswer : Cancel;
    }
    void Tell(QWidget *, const QString &caption, const QString &text, Icon) override { asked << caption + QLatin1Char('|') + text; }
    QString GetOpenFileName(QWidget *, const QString &) override { return FileName(QStringLiteral("Open")); }
    QString GetExportFileName(QWidget *, const QString &caption, const QString &proposedName, const QString &) override
    {
        proposed << proposedName;
        return FileName(caption);
    }
    QString GetSaveFileName(QWidget *, const QString &proposedName) override
    {
        proposed << proposedName;
        return FileName(QStringLiteral("Save As"));
    }
    QString GetFolderName(QWidget *, const QString &) override { return FileName(QStringLiteral("Open folder")); }
    QString GetCompareFileName(QWidget *, const QString &proposedName) override
    {
        proposed << proposedName;
        return FileName(QStringLiteral("Compare with"));
    }

    // What was asked since the last call, in order.
    QStringList TakeAsked() { return std::exchange(asked, {}); }
    // Whether every scripted answer was used.
    bool Done() const { return answers.isEmpty() && fileNames.isEmpty(); }

private:
    // Every question the program asks in any test: no answer takes another's
    // Alt key, so that Alt and a letter never lands on a destructive answer
    // meant for another.
    static void CheckButtons(const QStringList &texts)
    {
        QString keys;
        for (const QString &text : texts) {
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at < 0 || at + 1 >= text.size())
                continue;
            const QChar key = text[at + 1].toLower();
            if (keys.contains(key))
                QTest::qFail(qPrintable(QStringLiteral("two answers take Alt+%1: ").arg(key) + texts.join(QStringLiteral(", "))), __FILE__, __LINE__);
            keys += key;
        }
    }

    QString FileName(const QString &dialog)
    {
        asked << dialog;
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
};
