#pragma once

#include <QObject>

class ClipboardCommands;
class CompareCommand;
class EditingSession;
class ExportCommands;
class FileCommands;
class FolderCommands;
class OptionCommands;
class PageCommands;
class QAction;
class QWidget;
class RecoveryOffer;
class SpellingCommands;

// Every command of the editor as one action, the one switch for it: the
// menus, the page view's buttons and the context menus all show these same
// actions. Each runs its command, and each is enabled by one rule, from
// the document's signals (see Update). The window's keys reach them: they
// are the window's actions.
class EditorActions : public QObject {
    Q_OBJECT
public:
    EditorActions(EditingSession &session, FileCommands &files, PageCommands &pages, OptionCommands &options, ClipboardCommands &clipboard,
                  RecoveryOffer &recovery, ExportCommands &exports, SpellingCommands &spellingCommands,
                  FolderCommands &folder, CompareCommand &compare, QWidget *window);

    // File
    QAction *newFile, *open, *openFolder, *save, *saveAs, *compareWith, *recover, *exit;
    QAction *exportPoTemplate, *exportRecordingScript;
    // Edit
    QAction *undo, *redo;
    QAction *addOption, *editOption, *deleteOption, *goToResult, *moveOptionUp, *moveOptionDown;
    QAction *cut, *copy, *paste;
    QAction *editSpeech, *goTo, *back, *forward;
    QAction *find, *replace, *findNext, *findPrevious, *undoReplace;
    // Page
    QAction *newPage, *changePageInfo, *duplicatePage, *deletePage, *movePageUp, *movePageDown;
    QAction *copyPage, *cutPage, *pastePage;
    // View: the NPC's speech to both genders at once (checked), or one of
    // them and the switch between them.
    QAction *bothSpeeches;
    // Tools, Help
    QAction *play, *playFromFirstPage, *spelling, *about;

private:
    // The rules: editing an option or following it needs one selected;
    // deleting, moving, copying and cutting any number of them, and moving
    // them a place to go for the first (up) or the last (down); pasting, a
    // document and something on the clipboard; the undo of a replace in
    // files, its kept copies; every other command is there while the window
    // is.
    void Update();

    EditingSession &m_session;
    FolderCommands &m_folder;
    bool m_clipboardHoldsText = false; // as it last said
};
