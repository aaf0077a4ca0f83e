#include "commands/FolderCommands.h"

#include "commands/FileCommands.h"
#include "folder/ReplaceUndo.h"
#include "model/DialogFile.h"
#include "regex/RegularExpression.h"
#include "session/EditingSession.h"
#include "session/GameFolder.h"
#include "session/RecoveryKeeper.h"
#include "storage/FileOps.h"
#include "storage/RecoveryFolder.h"
#include "ui/AnsiText.h"
#include "ui/Prompter.h"

#include <QFile>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <set>

namespace {

constexpr int kListed = 12; // entries of a list in a question, then "and N more"
const QString kFolderKey = QStringLiteral("recentFolder");
const QString kReplaceCaption = QStringLiteral("Replace in files");
const QString kUndoCaption = QStringLiteral("Undo replace in files");

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The entries as lines of a question, the first few of them.
template <typename Entries, typename Describe>
QString Lines(const Entries &entries, const Describe &describe)
{
    QString text;
    int shown = 0;
    for (const auto &entry : entries) {
        if (++shown > kListed) {
            text += QStringLiteral("\n  and %1 more").arg(static_cast<qsizetype>(entries.size()) - kListed);
            break;
        }
        text += QStringLiteral("\n  ") + describe(entry);
    }
    return text;
}

QString Counted(size_t count, const char *one, const char *many)
{
    return count == 1 ? QStringLiteral("1 ") + QLatin1String(one) : QStringLiteral("%1 ").arg(count) + QLatin1String(many);
}

} // namespace

FolderCommands::FolderCommands(EditingSession &session, Prompter &prompter, GameFolder &folder, FileCommands &files,
                               RecoveryKeeper &recovery, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_folder(folder)
    , m_files(files)
    , m_recovery(recovery)
    , m_parent(parent)
    , m_planning(this, [this](std::shared_ptr<FolderReplace::Plan> plan) { Confirm(std::move(plan)); })
    , m_writing(this, [this](std::shared_ptr<FilesWritten> done) { Written(std::move(done)); })
    , m_listing(this, [this](std::vector<std::string> files) { Listed(std::move(files)); })
{
    // The folder chosen last, as long as it holds the file opened.
    const std::string remembered = QSettings().value(kFolderKey).toByteArray().toStdString();
    std::error_code error;
    if (!remembered.empty() && std::filesystem::is_directory(remembered, error))
        m_folder.SetFolder(GameFolder::Spelling(remembered));
    connect(&session, &EditingSession::documentReplaced, this, &FolderCommands::Follow);
    connect(&session, &EditingSession::nameChanged, this, &FolderCommands::Follow);
    Follow();
    ListUndoable();
}

// A job under way works on its own copies: it ends by itself.
FolderCommands::~FolderCommands() = default;

bool FolderCommands::IsIdle() const
{
    return !m_busy && m_planning.IsUpToDate() && m_writing.IsUpToDate() && m_listing.IsUpToDate();
}

void FolderCommands::Follow()
{
    const DialogFile *document = m_session.GetDocument();
    if (!document || document->IsUntitled() || document->GetFileName().empty())
        return;
    const std::string file = GameFolder::Spelling(document->GetFileName());
    const std::string &folder = m_folder.GetFolder();
    if (!folder.empty() && file.starts_with(folder == "/" ? folder : folder + "/"))
        return;
    m_folder.SetFolder(std::filesystem::path(file).parent_path().string());
}

void FolderCommands::OpenFolder()
{
    const QString chosen = m_prompter.GetFolderName(m_parent, QFile::decodeName(QByteArray::fromStdString(m_folder.GetFolder())));
    if (chosen.isEmpty())
        return;
    const std::string folder = GameFolder::Spelling(QFile::encodeName(chosen).toStdString());
    // Kept as the system's bytes, beside the recent files.
    QSettings().setValue(kFolderKey, QByteArray::fromStdString(folder));
    m_folder.SetFolder(folder);
    m_folder.Load();
    emit folderChosen();
}

QString FolderCommands::Shown(const std::string &path) const
{
    const std::string &folder = m_folder.GetFolder();
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    return QFile::decodeName(QByteArray::fromStdString(path.starts_with(prefix) ? path.substr(prefix.size()) : path));
}

void FolderCommands::Tell(const QString &caption, const QString &text)
{
    m_prompter.Tell(m_parent, caption, text, Prompter::Exclamation);
}

// ---- Replace in files ------------------------------------------------------

void FolderCommands::Replace(const QString &pattern, TextSearch::Options options, const QString &replacement)
{
    if (m_busy) {
        Tell(kReplaceCaption, QStringLiteral("A replace in files, or its undo, is under way."));
        return;
    }
    if (m_folder.GetFolder().empty()) {
        Tell(kReplaceCaption, QStringLiteral("There is no folder to replace in: open a file, or choose File > Open folder..."));
        return;
    }
    if (!m_folder.IsLoaded()) {
        m_folder.Load();
        Tell(kReplaceCaption, QStringLiteral("The folder is still being read: replace once its files are listed."));
        return;
    }
    std::vector<std::string> paths;
    for (const FolderFile &file : m_folder.Files())
        paths.push_back(file.path);
    // This window's own file with unsaved changes is left out, as are those
    // of other windows.
    std::set<std::string> open;
    if (m_session.IsModified() && !m_session.GetDocument()->IsUntitled())
        open.insert(RecoveryFolder::Absolute(m_session.GetDocument()->GetFileName()));
    m_busy = true;
    emit message(QStringLiteral("Looking for what to replace in %1...").arg(Counted(paths.size(), "file", "files")));
    m_planning.Run(++m_jobs, [paths = std::move(paths), open = std::move(open), recovery = m_recovery.GetFolder(), pattern = pattern.toStdString(),
                              options, replacement = replacement.toStdString()]() mutable {
        open.merge(FolderReplace::OpenElsewhere(recovery));
        const TextSearch search(pattern, options, &RegularExpression::Engine());
        return std::make_shared<FolderReplace::Plan>(FolderReplace::Prepare(paths, search, replacement, open));
    });
}

void FolderCommands::Confirm(std::shared_ptr<FolderReplace::Plan> plan)
{
    m_busy = false;
    std::vector<const FolderReplace::FilePlan *> writes;
    std::vector<const FolderReplace::FilePlan *> leftOut;
    std::vector<std::pair<const FolderReplace::FilePlan *, const FolderReplace::Refused *>> refused;
    for (const FolderReplace::FilePlan &file : plan->files) {
        if (!file.leftOut.empty())
            leftOut.push_back(&file);
        else if (file.changes > 0)
            writes.push_back(&file);
        for (const FolderReplace::Refused &text : file.refused)
            refused.emplace_back(&file, &text);
    }
    QString text = writes.empty() ? QStringLiteral("Nothing to replace in the folder's files.")
                                  : QStringLiteral("Replace all will change %1 in %2:")
                                        .arg(Counted(plan->Changes(), "text", "texts"), Counted(writes.size(), "file", "files"))
            + Lines(writes, [this](const FolderReplace::FilePlan *file) {
                  return Shown(file->path) + QStringLiteral(": ") + Counted(file->changes, "text", "texts");
              });
    if (!refused.empty()) {
        text += QStringLiteral("\n\n%1 cannot take the replacement and stay as they are:").arg(Counted(refused.size(), "text", "texts"))
            + Lines(refused, [this](const auto &entry) {
                  const auto &[file, why] = entry;
                  return Shown(file->path) + QStringLiteral(":%1, page ").arg(why->line) + Quoted(AnsiText::ToDisplay(why->page))
                      + QStringLiteral(", ") + QString::fromStdString(why->which) + QStringLiteral(": ") + QString::fromStdString(why->reason);
              });
    }
    if (!leftOut.empty()) {
        text += QStringLiteral("\n\n%1 left out:").arg(leftOut.size() == 1 ? QStringLiteral("1 file is") : QStringLiteral("%1 files are").arg(leftOut.size()))
            + Lines(leftOut, [this](const FolderReplace::FilePlan *file) { return Shown(file->path) + QStringLiteral(": ") + QString::fromStdString(file->leftOut); });
    }
    if (writes.empty()) {
        emit message(QString());
        Tell(kReplaceCaption, text);
        return;
    }
    text += QStringLiteral("\n\nThe files as they are now are kept, so that Edit > Undo replace in files can put them back. Replace?");
    if (m_prompter.Ask(m_parent, kReplaceCaption, text, Prompter::YesCancel, Prompter::Question, Prompter::Cancel,
                       {QStringLiteral("&Replace"), QString(), QStringLiteral("Cancel")})
        != Prompter::Yes) {
        emit message(QStringLiteral("Nothing replaced"));
        return;
    }
    // The open document may have been changed while the question was open:
    // its changes stay, and its file is left as it is.
    if (m_session.IsModified()) {
        for (FolderReplace::FilePlan &file : plan->files) {
            if (file.leftOut.empty() && m_files.IsOpen(file.path))
                file.leftOut = "it is open with unsaved changes in a Talkwright window";
        }
    }
    m_busy = true;
    m_undoing = false;
    emit message(QStringLiteral("Replacing in %1...").arg(Counted(plan->FilesToWrite(), "file", "files")));
    m_writing.Run(++m_jobs, [plan, undo = ReplaceUndo::In(m_recovery.GetFolder())] {
        return std::make_shared<FilesWritten>(FolderReplace::Apply(*plan, undo, FileOps::Default()));
    });
}

// The files written are read again; so is the open document, unless it has
// been changed meanwhile.
void FolderCommands::Written(std::shared_ptr<FilesWritten> done)
{
    m_busy = false;
    const QString caption = m_undoing ? kUndoCaption : kReplaceCaption;
    for (const std::string &path : done->written)
        m_folder.Refresh(path);
    QString text;
    if (!done->error.empty())
        text = QStringLiteral("Nothing was written: ") + QString::fromStdString(done->error) + QLatin1Char('.');
    else
        text = (m_undoing ? QStringLiteral("%1 put back as they were.") : QStringLiteral("%1 written.")).arg(Counted(done->written.size(), "file", "files"));
    const auto open = std::find_if(done->written.begin(), done->written.end(), [this](const std::string &path) { return m_files.IsOpen(path); });
    if (open != done->written.end()) {
        const QString name = m_session.GetDisplayName();
        if (!m_session.IsModified()) {
            const int page = m_session.GetDocument()->IndexOf(m_session.GetCurrentPage());
            const std::string path = m_session.GetDocument()->GetFileName(); // the document goes as it is read again
            m_files.LoadFile(path, name);
            if (DialogLine *shown = m_session.GetDocument() ? m_session.GetDocument()->GetPage(page) : nullptr)
                m_session.SetCurrentPage(shown);
            text += QStringLiteral("\n\n") + Quoted(name) + QStringLiteral(", the open file, was written, and is shown as it is now.");
        } else {
            text += QStringLiteral("\n\n") + Quoted(name)
                + QStringLiteral(", the open file, was written while it had changes here; they are kept, and Save asks before writing over the file.");
        }
    }
    if (!done->notWritten.empty()) {
        text += (done->notWritten.size() == 1 ? QStringLiteral("\n\n1 file is left as it is:")
                                              : QStringLiteral("\n\n%1 files are left as they are:").arg(done->notWritten.size()))
            + Lines(done->notWritten, [this](const auto &entry) { return Shown(entry.first) + QStringLiteral(": ") + QString::fromStdString(entry.second); });
    }
    emit message(text.section(QLatin1Char('\n'), 0, 0));
    Tell(caption, text);
    ListUndoable();
}

// ---- Undo replace in files -------------------------------------------------

void FolderCommands::ListUndoable()
{
    m_listing.Run(++m_jobs, [undo = ReplaceUndo::In(m_recovery.GetFolder())] { return undo.Files(); });
}

void FolderCommands::UndoReplace()
{
    if (m_busy) {
        Tell(kUndoCaption, QStringLiteral("A replace in files, or its undo, is under way."));
        return;
    }
    m_askUndo = true;
    ListUndoable();
}

void FolderCommands::Listed(std::vector<std::string> files)
{
    m_undoable = std::move(files);
    emit undoableChanged();
    if (!std::exchange(m_askUndo, false) || m_busy)
        return;
    if (m_undoable.empty()) {
        Tell(kUndoCaption, QStringLiteral("There is no replace in files to undo."));
        return;
    }
    QString text = QStringLiteral("Undo replace in files puts %1 back as they were before the replace:")
                       .arg(Counted(m_undoable.size(), "file", "files"))
        + Lines(m_undoable, [this](const std::string &path) { return Shown(path); })
        + QStringLiteral("\n\nA file that has changed since the replace is left as it is.");
    if (m_session.IsModified() && std::any_of(m_undoable.begin(), m_undoable.end(), [this](const std::string &path) { return m_files.IsOpen(path); }))
        text += QStringLiteral("\n\n") + Quoted(m_session.GetDisplayName())
            + QStringLiteral(" has changes here that are not saved: they are kept, and Save asks before writing over the file put back.");
    text += QStringLiteral("\n\nPut them back?");
    if (m_prompter.Ask(m_parent, kUndoCaption, text, Prompter::YesCancel, Prompter::Question, Prompter::Cancel,
                       {QStringLiteral("&Put back"), QString(), QStringLiteral("Cancel")})
        != Prompter::Yes)
        return;
    m_busy = true;
    m_undoing = true;
    emit message(QStringLiteral("Putting back %1...").arg(Counted(m_undoable.size(), "file", "files")));
    m_writing.Run(++m_jobs, [undo = ReplaceUndo::In(m_recovery.GetFolder())] { return std::make_shared<FilesWritten>(undo.Undo(FileOps::Default())); });
}
