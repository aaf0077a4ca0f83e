#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every question, message and file dialog of the main window goes through
// one Prompter, so that tests can answer them.
class Prompter {
public:
    enum Answer { Yes, No, Cancel };
    enum Icon { Question, Exclamation, Error };
    enum Buttons { YesNoCancel, YesNo, YesCancel };

    virtual ~Prompter() = default;

    // A question. Enter gives defaultAnswer, which must be the one that
    // changes no file. buttonTexts, when given, name the buttons in the
    // order Yes, No, Cancel; an empty one keeps its button's usual text.
    virtual Answer Ask(QWidget *parent, const QString &caption, const QString &text, Buttons buttons, Icon icon,
                       Answer defaultAnswer, const QStringList &buttonTexts = {}) = 0;
    // A message with an OK button.
    virtual void Tell(QWidget *parent, const QString &caption, const QString &text, Icon icon) = 0;
    // A long text to read (a diff, say), with a Close button.
    virtual void ShowText(QWidget *parent, const QString &caption, const QString &text) { Tell(parent, caption, text, Question); }
    // The path chosen in the Open dialog; empty when cancelled.
    virtual QString GetOpenFileName(QWidget *parent, const QString &folder) = 0;
    // The path chosen in the Save As dialog, which proposes the given name.
    virtual QString GetSaveFileName(QWidget *parent, const QString &proposed) = 0;
    // The existing file chosen in the Compare with dialog, which proposes
    // the given one (the open document's own file, as last saved); empty
    // when cancelled.
    virtual QString GetCompareFileName(QWidget *parent, const QString &proposed) = 0;
    // The path chosen for a file the program writes from the document (an
    // export), in a save dialog of that caption and filter.
    virtual QString GetExportFileName(QWidget *parent, const QString &caption, const QString &proposed, const QString &filter) = 0;
    // The folder chosen in the Open folder dialog, which starts at folder;
    // empty when cancelled.
    virtual QString GetFolderName(QWidget *parent, const QString &folder) = 0;

    // The texts of a question's buttons, in the order Yes, No, Cancel:
    // those given, the usual ones where none is, empty for a button the
    // question does not have.
    static QStringList ButtonTexts(Buttons buttons, const QStringList &given)
    {
        QStringList texts{QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")};
        for (int i = 0; i < 3; ++i) {
            if (!given.value(i).isEmpty())
                texts[i] = given[i];
        }
        if (buttons == YesCancel)
            texts[No].clear();
        if (buttons == YesNo)
            texts[Cancel].clear();
        return texts;
    }
};
