#include "commands/FileCommands.h"

#include "session/EditingSession.h"
#include "ui/Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "storage/AtomicFile.h"
#include "ui/AnsiText.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QWidget>
#include <QStringList>
#include <filesystem>
#include <utility>

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

FileCommands::FileCommands(EditingSession &session, Prompter &prompter, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_parent(parent)
{
}

void FileCommands::Tell(const QString &text)
{
    m_prompter.Tell(m_parent, QStringLiteral("talkwright"), text, Prompter::Exclamation);
}

bool FileCommands::QuerySaveChanges()
{
    if (!m_session.IsModified())
        return true;
    switch (m_prompter.Ask(m_parent, QStringLiteral("Save changes?"), QStringLiteral("Save changes to ") + Quoted(m_session.GetDisplayName()) + QLatin1Char('?'),
                           Prompter::YesNoCancel, Prompter::Exclamation, Prompter::Cancel)) {
    case Prompter::Cancel:
        return false;
    case Prompter::Yes:
        return SaveFile();
    case Prompter::No:
        break;
    }
    return true;
}

void FileCommands::NewFile()
{
    if (!QuerySaveChanges())
        return;
    auto document = std::make_unique<DialogFile>();
    document->SetUntitled();
    const QString name = m_session.NextUntitledName();
    document->SetFileName(name.toStdString());
    m_session.SetDocument(std::move(document), true);
    m_session.SetDocumentName(name.toStdString(), name);
    m_session.SetDiskStamp({});
    m_session.SetUnsavedDrops({});
    m_session.AddFirstPage();
}

// A document named for a file that does not exist yet: its first page,
// and no file until it is saved.
FileCommands::LoadAnswer FileCommands::OpenPath(const std::string &path, const QString &displayName)
{
    const LoadAnswer answer = LoadFile(path, displayName);
    if (answer == LoadAnswer::Yes) {
        m_session.SetDocumentName(path, displayName);
        BeginNewDocument();
        emit opened(displayName);
    }
    return answer;
}

void FileCommands::BeginNewDocument()
{
    m_session.GetDocument()->ClearUntitled();
    m_session.MarkUnsaved();
    m_session.AddFirstPage();
}

FileCommands::LoadAnswer FileCommands::LoadFile(const std::string &path, const QString &displayName)
{
    auto document = std::make_unique<DialogFile>();
    const bool read = document->Read(path);
    const std::string reason = document->GetErrorText();
    if (read) {
        const std::vector<DroppedLine> drops = document->GetDroppedLines();
        m_session.SetDocument(std::move(document), false);
        m_session.SetDocumentName(path, displayName);
        m_session.SetDiskStamp(DiskStamp::Of(path));
        m_session.SetUnsavedDrops(drops);
        m_session.SetLoadNote({});
        m_session.SetCurrentPage(m_session.GetDocument()->GetPage(0));
        emit message(QStringLiteral("%1 read okay (%2 dialog pages read)").arg(displayName).arg(m_session.GetDocument()->GetPageCount()));
        if (!drops.empty()) {
            m_session.SetLoadNote(Quoted(displayName)
                + QStringLiteral(" holds %1 that the editor cannot keep: saving the file would drop them.\n\n")
                      .arg(DroppedLine::CountLines(drops) == 1 ? QStringLiteral("a line or part of a line")
                                                               : QStringLiteral("%1 lines or parts of lines").arg(DroppedLine::CountLines(drops)))
                + QString::fromStdString(DroppedLine::List(drops, 5)) + QStringLiteral("\nSave asks before it drops them."));
            // Said once the page is on the screen: at start-up, when the window shows.
            if (m_parent->isVisible())
                TellLoadNote();
        }
        AddRecentFile(path);
        emit opened(displayName);
        return LoadAnswer::Read;
    }

    // What is left is an empty document that has no name of its own: a
    // later Save asks for one rather than overwrite the file that failed.
    auto empty = std::make_unique<DialogFile>();
    empty->SetUntitled();
    m_session.SetDocument(std::move(empty), false);
    m_session.SetDocumentName(std::string(), QString());
    m_session.SetDiskStamp({});
    m_session.SetUnsavedDrops({});
    m_session.SetLoadNote({});
    m_session.SetCurrentPage(nullptr);

    if (DiskStamp::IsMissing(path)) {
        switch (m_prompter.Ask(m_parent, QStringLiteral("Dialog file not found"),
                               Quoted(displayName) + QStringLiteral(" does not exist.\n\nWould you like to create a new dialog file?"),
                               Prompter::YesNoCancel, Prompter::Question, Prompter::Yes)) {
        case Prompter::Yes:
            return LoadAnswer::Yes;
        case Prompter::No:
            return LoadAnswer::No;
        case Prompter::Cancel:
            break;
        }
        return LoadAnswer::Cancel;
    }
    // The file is there but cannot be read: offer another, never to create it.
    const Prompter::Answer answer =
        m_prompter.Ask(m_parent, QStringLiteral("Dialog file cannot be read"),
                       Quoted(displayName) + QStringLiteral(" cannot be read: ") + QString::fromStdString(reason)
                           + QStringLiteral(".\n\nWould you like to open another dialog file?"),
                       Prompter::YesCancel, Prompter::Exclamation, Prompter::Yes);
    return answer == Prompter::Yes ? LoadAnswer::No : LoadAnswer::Cancel;
}

void FileCommands::OpenFile()
{
    if (!QuerySaveChanges())
        return;
    for (;;) {
        const QString folder = m_session.GetDocument() && !m_session.GetDocument()->IsUntitled()
            ? QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_session.GetDocument()->GetFileName()))).absolutePath()
            : QString();
        const QString path = m_prompter.GetOpenFileName(m_parent, folder);
        if (path.isEmpty())
            return;
        const QString name = QFileInfo(path).fileName();
        if (OpenPath(QFile::encodeName(path).toStdString(), name) != LoadAnswer::No)
            return;
    }
}

bool FileCommands::ConfirmOverwriteChangedFile()
{
    if (!m_session.GetDiskStamp().ChangedOnDisk(m_session.GetDocument()->GetFileName()))
        return true;
    return m_prompter.Ask(m_parent, QStringLiteral("File changed on disk"),
                          Quoted(m_session.GetDisplayName()) + QStringLiteral(" has been changed by another program since it was opened or saved "
                                                                 "here.\n\nOverwrite it with this version?"),
                          Prompter::YesNo, Prompter::Exclamation, Prompter::No)
        == Prompter::Yes;
}

// A page that would not read back as a page is named with what would become
// of it; the safe answer goes to the first of them so it can be mended.
bool FileCommands::ConfirmUnreadablePages()
{
    const DialogFile &file = *m_session.GetDocument();
    const std::vector<int> pages = TextRules::FindUnreadablePages(file);
    if (pages.empty())
        return true;
    const auto name = [&file](int index) { return Quoted(AnsiText::ToDisplay(file.GetPage(index)->GetLabel())); };
    QString text = pages.size() == 1 ? QStringLiteral("This page has no speech to female PCs, or one that starts with a digit, so it would "
                                                      "not be read back as a page:\n\n")
                                     : QStringLiteral("These pages have no speech to female PCs, or one that starts with a digit, so they "
                                                      "would not be read back as pages:\n\n");
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i == 10) {
            text += QStringLiteral("and %1 more\n").arg(pages.size() - 10);
            break;
        }
        const int owner = TextRules::FindReadBackOwner(file, pages[i]);
        text += QStringLiteral("Page ") + name(pages[i])
            + (owner < 0 ? QStringLiteral(" would be read back as an option before any page, so the saved file could not be opened again.\n")
                         : QStringLiteral(" would be read back as an option of page ") + name(owner) + QStringLiteral(".\n"));
    }
    text += QStringLiteral("\nSave anyway, or go to page ") + name(pages.front()) + QStringLiteral(" to mend it?");
    const Prompter::Answer answer =
        m_prompter.Ask(m_parent, QStringLiteral("Pages would be lost"), text, Prompter::YesNoCancel, Prompter::Exclamation, Prompter::No,
                       {QStringLiteral("&Save anyway"), QStringLiteral("&Go to page"), QStringLiteral("Cancel")});
    if (answer == Prompter::No)
        m_session.SetCurrentPage(file.GetPage(pages.front()));
    return answer == Prompter::Yes;
}

// What reading the file could not keep is lost by the first save over it:
// that save asks first.
bool FileCommands::ConfirmDroppedLines()
{
    const std::vector<DroppedLine> &drops = m_session.GetUnsavedDrops();
    if (drops.empty())
        return true;
    const QString text = QStringLiteral("Saving ") + Quoted(m_session.GetDisplayName())
        + QStringLiteral(" drops what the editor could not read in it:\n\n") + QString::fromStdString(DroppedLine::List(drops, 10))
        + QStringLiteral("\nSave anyway?");
    return m_prompter.Ask(m_parent, QStringLiteral("Lines would be dropped"), text, Prompter::YesNo, Prompter::Exclamation, Prompter::No)
        == Prompter::Yes;
}

bool FileCommands::SaveFile()
{
    return m_session.GetDocument() && SaveDocument(m_session.GetDocument()->IsUntitled());
}

bool FileCommands::SaveFileAs()
{
    if (!m_session.GetDocument())
        return false;
    // The document keeps its old name unless it was saved under the new one.
    const std::string oldPath = m_session.GetDocument()->GetFileName();
    const QString oldName = m_session.GetDisplayName();
    const bool wasUntitled = m_session.GetDocument()->IsUntitled();
    const DiskStamp oldStamp = m_session.GetDiskStamp();
    if (SaveDocument(true))
        return true;
    if (m_session.GetDocument()->GetFileName() != oldPath) {
        if (wasUntitled)
            m_session.GetDocument()->SetUntitled();
        m_session.SetDocumentName(oldPath, oldName);
        m_session.SetDiskStamp(oldStamp);
    }
    return false;
}

bool FileCommands::SaveDocument(bool chooseName)
{
    if (chooseName) {
        const QString path = m_prompter.GetSaveFileName(m_parent, m_session.GetDisplayName());
        if (path.isEmpty())
            return false;
        m_session.GetDocument()->ClearUntitled();
        m_session.SetDocumentName(QFile::encodeName(path).toStdString(), QFileInfo(path).fileName());
        // The Save As dialog has asked already whether to replace a file there.
        m_session.SetDiskStamp(DiskStamp::Of(m_session.GetDocument()->GetFileName()));
    }
    if (!ConfirmOverwriteChangedFile() || !ConfirmDroppedLines() || !ConfirmUnreadablePages())
        return false;
    // What an earlier save cut short by a crash left in the folder goes.
    AtomicFile::RemoveStaleTemporaries(m_session.GetDocument()->GetFileName());
    if (!m_session.GetDocument()->Write()) {
        const DialogFile &document = *m_session.GetDocument();
        const Prompter::Answer answer =
            m_prompter.Ask(m_parent, QStringLiteral("talkwright"),
                           Quoted(m_session.GetDisplayName()) + QStringLiteral(" could not be saved: ") + QString::fromStdString(document.GetErrorText())
                               + QStringLiteral(".\n\n")
                               + (document.LeftFileIncomplete() ? QString() : QStringLiteral("The file on disk has not been changed. "))
                               + QStringLiteral("Save it under another name?"),
                           Prompter::YesNo, Prompter::Error, Prompter::No);
        return answer == Prompter::Yes && SaveFileAs();
    }
    m_session.SetDiskStamp(DiskStamp::Of(m_session.GetDocument()->GetFileName()));
    AddRecentFile(m_session.GetDocument()->GetFileName());
    m_session.SetUnsavedDrops({});
    m_session.MarkSaved();
    emit message(m_session.GetDisplayName() + QStringLiteral(" saved"));
    return true;
}

void FileCommands::TellLoadNote()
{
    if (m_session.HasLoadNote())
        Tell(m_session.TakeLoadNote());
}

// ---- Recent files ---------------------------------------------------------

namespace {

constexpr int kRecentFiles = 8;
const QString kRecentKey = QStringLiteral("recentFiles");

// Paths are kept as the system's bytes, so that any name comes back as it was.
QList<QByteArray> RecentFiles()
{
    QList<QByteArray> paths;
    for (const QVariant &path : QSettings().value(kRecentKey).toList())
        paths << path.toByteArray();
    return paths;
}

} // namespace

void FileCommands::AddRecentFile(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const QByteArray bytes = QByteArray::fromStdString(error ? path : absolute.lexically_normal().string());
    QList<QByteArray> paths = RecentFiles();
    paths.removeAll(bytes);
    paths.prepend(bytes);
    QVariantList stored;
    for (const QByteArray &entry : paths.mid(0, kRecentFiles))
        stored << entry;
    QSettings().setValue(kRecentKey, stored);
}

void FileCommands::FillRecentMenu(QMenu *menu)
{
    menu->clear();
    const QList<QByteArray> paths = RecentFiles();
    for (int i = 0; i < paths.size(); ++i) {
        const QString shown = QFile::decodeName(paths[i]);
        // An "&" in a path is shown, not taken for an Alt key.
        QAction *entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        entry->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        const std::string path = paths[i].toStdString();
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    menu->setEnabled(!paths.isEmpty());
}

void FileCommands::OpenRecentFile(const std::string &path)
{
    if (!QuerySaveChanges())
        return;
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    if (OpenPath(path, name) == LoadAnswer::No)
        OpenFile();
}
