#pragma once

#include "ui/Prompter.h"

// The program's prompts: Qt's message boxes and file dialogs.
class QtPrompter : public Prompter {
public:
    static const QString FileFilter;

    Answer Ask(QWidget *parent, const QString &caption, const QString &text, Buttons buttons, Icon icon, Answer defaultAnswer,
               const QStringList &buttonTexts = {}) override;
    void Tell(QWidget *parent, const QString &caption, const QString &text, Icon icon) override;
    void ShowText(QWidget *parent, const QString &caption, const QString &text) override;
    QString GetOpenFileName(QWidget *parent, const QString &folder) override;
    QString GetSaveFileName(QWidget *parent, const QString &proposed) override;
    QString GetCompareFileName(QWidget *parent, const QString &proposed) override;
    QString GetExportFileName(QWidget *parent, const QString &caption, const QString &proposed, const QString &filter) override;
    QString GetFolderName(QWidget *parent, const QString &folder) override;
};
