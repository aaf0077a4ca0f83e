#pragma once

#include <QObject>

class CompareCommand;
class EditingSession;
class ExportCommands;
class FileCommands;
class OptionCommands;
class PageCommands;
class QAction;
class QWidget;
class RecoveryOffer;

// Every command of the editor as one action, the one switch for it: the
// menus, the page view's buttons and the context menus all show these same
// actions. Each runs its command, and each is enabled by one rule, from
// the document's signals (see Update). The window's keys reach them: they
// are the window's actions.
class EditorActions : public QObject {
    Q_OBJECT
public:
    EditorActions(EditingSession &session, FileCommands &files, PageCommands &pages, OptionCommands &options, RecoveryOffer &recovery,
                  ExportCommands &exports, CompareCommand &compare, QWidget *window);

    // File
    QAction *newFile, *open, *save, *saveAs, *compareWith, *recover, *exit;
    QAction *exportPoTemplate, *exportRecordingScript;
    // Edit
    QAction *undo, *redo;
    QAction *addOption, *editOption, *deleteOption, *goToResult, *moveOptionUp, *moveOptionDown;
    QAction *editSpeech, *goTo, *back, *forward;
    QAction *find, *replace, *findNext, *findPrevious;
    // Page
    QAction *newPage, *changePageInfo, *duplicatePage, *deletePage, *movePageUp, *movePageDown;
    // Tools, Help
    QAction *play, *playFromFirstPage, *about;

private:
    // The rules: the option commands need a selected option, moving one it
    // a place to go; every other command is there while the window is.
    void Update();

    EditingSession &m_session;
};
