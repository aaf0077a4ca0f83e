#pragma once

#include <QObject>
#include <QString>
#include <string>

class EditingSession;
class Prompter;
class QMenu;
class QWidget;

// The commands that replace or store the session's document: New, Open and
// loading (with the offer to create a missing file), Save and Save As with
// the questions that guard them, the save question, and the recent files.
// They ask through the prompter, over parent; the document tells the rest.
class FileCommands : public QObject {
    Q_OBJECT
public:
    enum class LoadAnswer { Read, Yes, No, Cancel };

    FileCommands(EditingSession &session, Prompter &prompter, QWidget *parent);

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
    // Opens the file at path as Open does (the save question first), unless
    // it is the open document's file; then shows the page at index page,
    // with the option at index option selected (the page itself for -1).
    // A page of -1 shows what opening shows.
    void OpenAt(const std::string &path, int page, int option);
    // path names the open document's file.
    bool IsOpen(const std::string &path) const;

    // What loading had to say, once the page is on the screen.
    void TellLoadNote();

    void FillRecentMenu(QMenu *menu);

signals:
    // For the status line.
    void message(const QString &text);
    // A file was opened, or named to be created: what was kept of it may be offered.
    void opened(const QString &displayName);
    // The document was saved to the file at path.
    void saved(const std::string &path);

private:
    bool SaveDocument(bool chooseName);
    // A document named for a file that does not exist yet: its first page,
    // and no file until it is saved.
    void BeginNewDocument();
    bool ConfirmOverwriteChangedFile();
    bool ConfirmUnreadablePages();
    bool ConfirmDroppedLines();
    void AddRecentFile(const std::string &path);
    // Opens a file named elsewhere (a recent file, a file of the folder),
    // the save question first; true when it was read.
    bool OpenNamed(const std::string &path);
    void Tell(const QString &text);

    EditingSession &m_session;
    Prompter &m_prompter;
    QWidget *m_parent;
};
