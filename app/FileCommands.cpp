#include "app/FileCommands.h"

#include "app/CMainDialog.h"
#include "app/EditingSession.h"
#include "app/Prompter.h"
#include "app/RecoveryKeeper.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/TextRules.h"
#include "ui/AnsiText.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStringList>
#include <filesystem>
#include <utility>

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

FileCommands::FileCommands(EditingSession &session, Prompter &prompter, CMainDialog &window)
    : m_session(session)
    , m_prompter(prompter)
    , m_window(window)
{
}

void FileCommands::SetDocumentName(const std::string &path, const QString &displayName)
{
    m_session.GetDocument()->SetFileName(path);
    m_displayName = displayName;
}

bool FileCommands::QuerySaveChanges()
{
    if (!m_session.IsModified())
        return true;
    switch (m_prompter.Ask(&m_window, QStringLiteral("Save changes?"), QStringLiteral("Save changes to ") + Quoted(m_displayName) + QLatin1Char('?'),
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
    m_session.SetDocument(std::make_unique<DialogFile>(), true);
    m_session.GetDocument()->SetUntitled();
    const QString name = m_session.NextUntitledName();
    SetDocumentName(name.toStdString(), name);
    m_diskStamp = {};
    m_window.Recovery().Replaced();
    m_session.SetCurrentPage(m_session.AddFirstPage());
    m_window.RefreshPage();
}

// A document named for a file that does not exist yet: its first page,
// and no file until it is saved.
FileCommands::LoadAnswer FileCommands::OpenPath(const std::string &path, const QString &displayName)
{
    const LoadAnswer answer = LoadFile(path, displayName);
    if (answer == LoadAnswer::Yes) {
        SetDocumentName(path, displayName);
        BeginNewDocument();
        m_window.Recovery().OfferForFile(displayName);
    }
    return answer;
}

void FileCommands::BeginNewDocument()
{
    m_session.GetDocument()->ClearUntitled();
    m_session.MarkUnsaved();
    m_session.SetCurrentPage(m_session.AddFirstPage());
    m_window.RefreshPage();
}

FileCommands::LoadAnswer FileCommands::LoadFile(const std::string &path, const QString &displayName)
{
    m_unsavedDrops.clear();
    m_loadNote.clear();
    auto document = std::make_unique<DialogFile>();
    const bool read = document->Read(path);
    const std::string reason = document->GetErrorText();
    m_session.SetDocument(std::move(document), false);
    if (read) {
        m_displayName = displayName;
        m_diskStamp = DiskStamp::Of(path);
        m_window.Recovery().Replaced();
        m_session.SetCurrentPage(m_session.GetDocument()->GetPage(0));
        m_window.SetStatusMessage(QStringLiteral("%1 read okay (%2 dialog pages read)").arg(displayName).arg(m_session.GetDocument()->GetPageCount()));
        m_window.RefreshPage();
        m_unsavedDrops = m_session.GetDocument()->GetDroppedLines();
        if (!m_unsavedDrops.empty()) {
            m_loadNote = Quoted(displayName)
                + QStringLiteral(" holds %1 that the editor cannot keep: saving the file would drop them.\n\n")
                      .arg(DroppedLine::CountLines(m_unsavedDrops) == 1 ? QStringLiteral("a line or part of a line")
                                                                        : QStringLiteral("%1 lines or parts of lines").arg(DroppedLine::CountLines(m_unsavedDrops)))
                + QString::fromStdString(DroppedLine::List(m_unsavedDrops, 5)) + QStringLiteral("\nSave asks before it drops them.");
            // Said once the page is on the screen: at start-up, when the window shows.
            if (m_window.isVisible())
                TellLoadNote();
        }
        AddRecentFile(path);
        m_window.Recovery().OfferForFile(displayName);
        return LoadAnswer::Read;
    }

    // What is left is an empty document that has no name of its own: a
    // later Save asks for one rather than overwrite the file that failed.
    m_session.SetDocument(std::make_unique<DialogFile>(), false);
    m_session.GetDocument()->SetUntitled();
    m_displayName.clear();
    m_diskStamp = {};
    m_window.Recovery().Replaced();
    m_window.RefreshPage();

    if (DiskStamp::IsMissing(path)) {
        switch (m_prompter.Ask(&m_window, QStringLiteral("Dialog file not found"),
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
        m_prompter.Ask(&m_window, QStringLiteral("Dialog file cannot be read"),
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
        const QString path = m_prompter.GetOpenFileName(&m_window, folder);
        if (path.isEmpty())
            return;
        const QString name = QFileInfo(path).fileName();
        if (OpenPath(QFile::encodeName(path).toStdString(), name) != LoadAnswer::No)
            return;
    }
}

bool FileCommands::ConfirmOverwriteChangedFile()
{
    if (!m_diskStamp.ChangedOnDisk(m_session.GetDocument()->GetFileName()))
        return true;
    return m_prompter.Ask(&m_window, QStringLiteral("File changed on disk"),
                          Quoted(m_displayName) + QStringLiteral(" has been changed by another program since it was opened or saved "
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
        m_prompter.Ask(&m_window, QStringLiteral("Pages would be lost"), text, Prompter::YesNoCancel, Prompter::Exclamation, Prompter::No,
                       {QStringLiteral("&Save anyway"), QStringLiteral("&Go to page"), QStringLiteral("Cancel")});
    if (answer == Prompter::No) {
        m_session.SetCurrentPage(file.GetPage(pages.front()));
        m_window.RefreshPage();
    }
    return answer == Prompter::Yes;
}

// What reading the file could not keep is lost by the first save over it:
// that save asks first.
bool FileCommands::ConfirmDroppedLines()
{
    if (m_unsavedDrops.empty())
        return true;
    const QString text = QStringLiteral("Saving ") + Quoted(m_displayName)
        + QStringLiteral(" drops what the editor could not read in it:\n\n") + QString::fromStdString(DroppedLine::List(m_unsavedDrops, 10))
        + QStringLiteral("\nSave anyway?");
    return m_prompter.Ask(&m_window, QStringLiteral("Lines would be dropped"), text, Prompter::YesNo, Prompter::Exclamation, Prompter::No)
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
    const QString oldName = m_displayName;
    const bool wasUntitled = m_session.GetDocument()->IsUntitled();
    const DiskStamp oldStamp = m_diskStamp;
    if (SaveDocument(true))
        return true;
    if (m_session.GetDocument()->GetFileName() != oldPath) {
        SetDocumentName(oldPath, oldName);
        if (wasUntitled)
            m_session.GetDocument()->SetUntitled();
        m_diskStamp = oldStamp;
        m_window.UpdateTitle();
    }
    return false;
}

bool FileCommands::SaveDocument(bool chooseName)
{
    if (chooseName) {
        const QString path = m_prompter.GetSaveFileName(&m_window, m_displayName);
        if (path.isEmpty())
            return false;
        SetDocumentName(QFile::encodeName(path).toStdString(), QFileInfo(path).fileName());
        m_session.GetDocument()->ClearUntitled();
        // The Save As dialog has asked already whether to replace a file there.
        m_diskStamp = DiskStamp::Of(m_session.GetDocument()->GetFileName());
    }
    if (!ConfirmOverwriteChangedFile() || !ConfirmDroppedLines() || !ConfirmUnreadablePages()) {
        m_window.UpdateTitle(); // the name may be new
        return false;
    }
    if (!m_session.GetDocument()->Write()) {
        const Prompter::Answer answer =
            m_prompter.Ask(&m_window, QStringLiteral("talkwright"),
                           Quoted(m_displayName) + QStringLiteral(" could not be saved: ") + QString::fromStdString(m_session.GetDocument()->GetErrorText())
                               + QStringLiteral(".\n\nThe file on disk has not been changed. Save it under another name?"),
                           Prompter::YesNo, Prompter::Error, Prompter::No);
        m_window.UpdateTitle();
        return answer == Prompter::Yes && SaveFileAs();
    }
    m_diskStamp = DiskStamp::Of(m_session.GetDocument()->GetFileName());
    AddRecentFile(m_session.GetDocument()->GetFileName());
    m_session.MarkSaved();
    m_unsavedDrops.clear();
    m_window.SetStatusMessage(m_displayName + QStringLiteral(" saved"));
    m_window.UpdateTitle();
    return true;
}

void FileCommands::TellLoadNote()
{
    if (!m_loadNote.isEmpty())
        m_window.Tell(std::exchange(m_loadNote, QString()));
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
        QAction *entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
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
