#pragma once

#include "app/Prompter.h"

#include <QQueue>
#include <QStringList>

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

    Answer Ask(QWidget *parent, const QString &caption, const QString &text, Buttons buttons, Icon icon, Answer defaultAnswer,
               const QStringList &buttonTexts = {}) override;
    void Tell(QWidget *parent, const QString &caption, const QString &text, Icon icon) override;
    QString GetOpenFileName(QWidget *parent, const QString &folder) override;
    QString GetSaveFileName(QWidget *parent, const QString &proposedName) override;

    // What was asked since the last call, in order.
    QStringList TakeAsked();
    // Whether every scripted answer was used.
    bool Done() const { return answers.isEmpty() && fileNames.isEmpty(); }
};
