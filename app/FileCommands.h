#pragma once

#include "storage/DiskStamp.h"
#include "model/DroppedLine.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class CMainDialog;
class EditingSession;
class Prompter;
class QMenu;

// The commands that replace or store the session's document: New, Open and
// loading (with the offer to create a missing file), Save and Save As with
// the questions that guard them, the save question, and the recent files.
// They ask through the prompter and have the window redisplay.
class FileCommands : public QObject {
    Q_OBJECT
public:
    enum class LoadAnswer { Read, Yes, No, Cancel };

    FileCommands(EditingSession &session, Prompter &prompter, CMainDialog &window);

    void NewFile();
    void OpenFile();
    // path is the file's name as the system spells it, in bytes.
    LoadAnswer LoadFile(const std::string &path, const QString &displayName);
    // Loads path; when the user chooses to create the missing file, the
    // document is named for it and gets its first page. No asks for
    // another file to open, Cancel for none.
    LoadAnswer OpenPath(const std::string &path, const QString &displayName);
    bool SaveFile();
    // Saves under a name chosen now, which becomes the document's; the old
    // file stays as it was.
    bool SaveFileAs();
    bool QuerySaveChanges();

    void SetDocumentName(const std::string &path, const QString &displayName);
    // The name that the title and messages show for the document.
    const QString &GetDisplayName() const { return m_displayName; }
    // The file as it was when read or last saved.
    const DiskStamp &GetDiskStamp() const { return m_diskStamp; }

    // What loading had to say, once the page is on the screen.
    bool HasLoadNote() const { return !m_loadNote.isEmpty(); }
    void TellLoadNote();

    void FillRecentMenu(QMenu *menu);

private:
    bool SaveDocument(bool chooseName);
    // A document named for a file that does not exist yet: its first page,
    // and no file until it is saved.
    void BeginNewDocument();
    bool ConfirmOverwriteChangedFile();
    bool ConfirmUnreadablePages();
    bool ConfirmDroppedLines();
    void AddRecentFile(const std::string &path);
    void OpenRecentFile(const std::string &path);

    EditingSession &m_session;
    Prompter &m_prompter;
    CMainDialog &m_window;
    QString m_displayName;
    DiskStamp m_diskStamp;
    // What reading the file could not keep, until a save has dropped it.
    std::vector<DroppedLine> m_unsavedDrops;
    QString m_loadNote;
};
