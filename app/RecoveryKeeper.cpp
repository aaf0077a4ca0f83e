#include "app/RecoveryKeeper.h"

#include "app/CMainDialog.h"
#include "app/CRecoverDlg.h"
#include "app/EditingSession.h"
#include "app/FileCommands.h"
#include "app/Prompter.h"
#include "model/DialogFile.h"
#include "storage/FileOps.h"
#include "storage/UnifiedDiff.h"
#include "ui/AnsiText.h"

#include <QDateTime>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>
#include <ctime>
#include <unistd.h>

namespace {

const QString kCaption = QStringLiteral("Recover unsaved changes");

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString When(std::int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString NameOf(const RecoveryRecord &record)
{
    return record.untitled ? QString::fromStdString(record.path) : AnsiText::FileNameToDisplay(record.path);
}

} // namespace

RecoveryKeeper::RecoveryKeeper(EditingSession &session, Prompter &prompter, FileCommands &files, CMainDialog &window)
    : m_session(session)
    , m_prompter(prompter)
    , m_files(files)
    , m_window(window)
    , m_ops(&FileOps::Default())
    , m_folder(QFile::encodeName(FolderPath()).toStdString())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(Delay);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::KeepInBackground);
    m_writer.setMaxThreadCount(1);
    connect(&m_writingWatcher, &QFutureWatcherBase::finished, this, &RecoveryKeeper::FinishWrite);
    connect(&session.GetUndoStack(), &QUndoStack::indexChanged, this, &RecoveryKeeper::OnIndexChanged);
    connect(&session.GetUndoStack(), &QUndoStack::cleanChanged, this, &RecoveryKeeper::OnCleanChanged);
}

// The program's normal end: nothing is left to recover.
RecoveryKeeper::~RecoveryKeeper()
{
    m_writingWatcher.disconnect(this);
    Release();
}

QString RecoveryKeeper::FolderPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

void RecoveryKeeper::Follow()
{
    const DialogFile *document = m_session.GetDocument();
    if (!document) {
        Release();
        return;
    }
    const bool untitled = document->IsUntitled();
    if (!untitled && document->GetFileName().empty())
        return; // being read: it has no name yet
    const std::string identity = untitled ? std::string() : RecoveryFolder::Absolute(document->GetFileName());
    if (!m_slot.empty() && untitled == m_untitled && identity == m_identity)
        return;
    Release();
    m_untitled = untitled;
    m_identity = identity;
    m_slot = untitled ? RecoveryFolder::SlotForUntitled() : RecoveryFolder::SlotForFile(identity);
    m_otherWindow = m_folder.TakeLock(m_slot);
    // Open in another window too: each keeps its own changes.
    if (m_otherWindow != 0)
        KeepBeside();
}

void RecoveryKeeper::KeepBeside()
{
    m_folder.ReleaseLock(m_slot);
    m_slot += "-" + std::to_string(getpid());
    m_folder.TakeLock(m_slot);
}

void RecoveryKeeper::Release()
{
    if (m_slot.empty())
        return;
    RemoveKept();
    m_folder.ReleaseLock(m_slot);
    m_slot.clear();
    m_identity.clear();
    m_otherWindow = 0;
}

void RecoveryKeeper::Replaced()
{
    m_timer.stop();
    m_edited = false;
    Release();
    Follow();
}

void RecoveryKeeper::OnIndexChanged()
{
    m_edited = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryKeeper::OnCleanChanged(bool clean)
{
    if (!clean)
        return;
    m_timer.stop();
    Follow();
    RemoveKept();
}

// Only a file this window wrote: one that a crash left in its slot waits
// for the offer.
void RecoveryKeeper::RemoveKept()
{
    FinishWrite();
    if (m_kept)
        m_folder.Remove(m_slot);
    m_kept = false;
}

RecoveryRecord RecoveryKeeper::MakeRecord() const
{
    RecoveryRecord record;
    record.untitled = m_untitled;
    record.path = m_untitled ? m_files.GetDisplayName().toStdString() : m_identity;
    if (!m_untitled)
        record.base = m_files.GetDiskStamp();
    record.writtenAt = std::time(nullptr);
    return record;
}

bool RecoveryKeeper::NeedsKeeping()
{
    m_timer.stop();
    Follow();
    if (m_slot.empty())
        return false;
    if (!m_edited || !m_session.IsModified()) {
        RemoveKept();
        return false;
    }
    return true;
}

bool RecoveryKeeper::KeepNow()
{
    FinishWrite();
    if (!NeedsKeeping())
        return true;
    StartWrite();
    return FinishWrite();
}

void RecoveryKeeper::KeepInBackground()
{
    if (!NeedsKeeping())
        return;
    if (!m_writeTakenIn && !m_writing.isFinished()) {
        m_timer.start(); // once the write under way is done
        return;
    }
    FinishWrite();
    StartWrite();
}

void RecoveryKeeper::StartWrite()
{
    // The copy shares the bytes read with the document; writing it out,
    // and the disk, take their time off the user interface thread.
    std::shared_ptr<DialogFile> copy = m_session.GetDocument()->Copy();
    m_writeTakenIn = false;
    m_writing = QtConcurrent::run(&m_writer, [folder = m_folder, slot = m_slot, record = MakeRecord(), copy, ops = m_ops]() mutable {
        record.bytes = copy->WriteText();
        std::string error;
        if (!folder.Write(slot, record, *ops, error) && error.empty())
            error = "it could not be written";
        return error;
    });
    m_writingWatcher.setFuture(m_writing);
}

bool RecoveryKeeper::FinishWrite()
{
    if (m_writeTakenIn)
        return true;
    m_writeTakenIn = true;
    const std::string error = m_writing.result(); // waits for it
    if (!error.empty()) {
        TellFailure(error);
        return false;
    }
    m_kept = true;
    m_failureTold = false;
    return true;
}

// Said once: editing goes on, and a later write may succeed.
void RecoveryKeeper::TellFailure(const std::string &error)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    const QString folder = FolderPath().isEmpty() ? QString() : QStringLiteral(" in ") + FolderPath();
    m_window.SetStatusMessage(QStringLiteral("Unsaved changes to %1 cannot be kept for recovery%2: %3")
                                  .arg(Quoted(m_files.GetDisplayName()), folder, QString::fromStdString(error)));
}

void RecoveryKeeper::OfferForFile(const QString &displayName)
{
    Follow();
    if (m_otherWindow != 0)
        m_prompter.Tell(&m_window, QStringLiteral("talkwright"),
                        Quoted(displayName)
                            + QStringLiteral(" is open in another Talkwright window (process %1). Whichever window saves it last "
                                             "replaces what the other saved.")
                                  .arg(m_otherWindow),
                        Prompter::Exclamation);
    if (!m_untitled)
        Offer(RecoveryFolder::ForFile(m_folder.Unkept(), m_identity), displayName);
}

void RecoveryKeeper::OfferForUntitled()
{
    Offer(RecoveryFolder::ForUntitled(m_folder.Unkept(m_slot)), QString());
}

bool RecoveryKeeper::Offer(const std::vector<RecoveryFolder::Entry> &entries, const QString &name)
{
    for (const RecoveryFolder::Entry &entry : entries) {
        const QString shown = name.isEmpty() ? NameOf(entry.record) : name;
        QString text = Quoted(shown) + QStringLiteral(" has unsaved changes from ") + When(entry.record.writtenAt)
            + QStringLiteral(" that were not saved.");
        QStringList notes;
        if (!entry.record.untitled && entry.record.BaseChanged(DiskStamp::Of(entry.record.path)))
            notes << QStringLiteral("The file on disk has been changed since then: saving the restored changes would replace that version.");
        if (entry.record.missing != 0)
            notes << QStringLiteral("The recovery file is incomplete: its last %1 bytes are missing, so only what comes before them "
                                    "can be restored.")
                         .arg(entry.record.missing);
        text += notes.isEmpty() ? QStringLiteral(" ") : QStringLiteral("\n\n") + notes.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n");
        text += QStringLiteral("Restore them?");
        for (;;) {
            const Prompter::Answer answer =
                m_prompter.Ask(&m_window, kCaption, text, Prompter::YesNoCancel, Prompter::Question, Prompter::Yes,
                               {QStringLiteral("&Restore"), QStringLiteral("&Discard"), QStringLiteral("&Show differences")});
            if (answer == Prompter::Cancel) {
                m_prompter.ShowText(&m_window, QStringLiteral("Differences"), Differences(entry, shown));
                continue;
            }
            if (answer == Prompter::Yes && Restore(entry))
                return true;
            if (answer == Prompter::No)
                m_folder.Remove(entry.slot);
            else if (entry.slot == m_slot)
                KeepBeside(); // one that could not be restored is kept, not written over
            break;
        }
    }
    return false;
}

// The file on disk (nothing, for an untitled document or a missing file)
// against the recovered bytes.
QString RecoveryKeeper::Differences(const RecoveryFolder::Entry &entry, const QString &name) const
{
    std::string disk;
    std::string error;
    if (!entry.record.untitled)
        DialogFile::ReadFileBytes(entry.record.path, disk, error);
    std::string diff = UnifiedDiff::Make(disk, entry.record.bytes, {}, {});
    diff.erase(0, diff.find('\n', diff.find('\n') + 1) + 1); // its own two name lines
    if (diff.empty())
        return Quoted(name) + QStringLiteral(" on disk holds the recovered changes already.");
    return QStringLiteral("--- ") + name + QStringLiteral("\n+++ ") + name + QStringLiteral(" (recovered)\n") + AnsiText::ToDisplay(diff);
}

// The recovered document takes the place of the one just opened, under its
// name, as modified and with nothing to undo; from then on this window keeps it.
bool RecoveryKeeper::Restore(const RecoveryFolder::Entry &entry)
{
    auto document = std::make_unique<DialogFile>();
    if (!document->ReadText(entry.record.bytes)) {
        m_prompter.Tell(&m_window, kCaption,
                        QStringLiteral("The unsaved changes of %1 cannot be restored: %2.")
                            .arg(Quoted(NameOf(entry.record)), QString::fromStdString(document->GetErrorText())),
                        Prompter::Error);
        return false;
    }
    const DialogFile &current = *m_session.GetDocument();
    document->SetFileName(current.GetFileName());
    if (current.IsUntitled())
        document->SetUntitled();
    m_session.SetDocument(std::move(document), true);
    m_session.SetCurrentPage(m_session.GetDocument()->GetPage(0));
    m_window.RefreshPage();
    m_edited = true;
    if (KeepNow() && entry.slot != m_slot)
        m_folder.Remove(entry.slot);
    return true;
}

void RecoveryKeeper::ShowUnkept()
{
    const std::vector<RecoveryFolder::Entry> entries = m_folder.Unkept(m_slot);
    if (entries.empty()) {
        m_window.Tell(QStringLiteral("No unsaved work is waiting to be recovered in ") + FolderPath() + QLatin1Char('.'));
        return;
    }
    QStringList rows;
    for (const RecoveryFolder::Entry &entry : entries) {
        QString row = NameOf(entry.record) + QStringLiteral(" - ") + When(entry.record.writtenAt);
        if (entry.record.untitled)
            row += QStringLiteral(" (never saved)");
        else if (DiskStamp::IsMissing(entry.record.path))
            row += QStringLiteral(" (the file no longer exists)");
        if (entry.record.missing != 0)
            row += QStringLiteral(" (incomplete)");
        rows << row;
    }
    CRecoverDlg dialog(rows, &m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.GetChosen() < 0)
        return;
    const RecoveryFolder::Entry &entry = entries[static_cast<size_t>(dialog.GetChosen())];
    const QString name = NameOf(entry.record);
    if (!dialog.IsRestore()) {
        if (m_prompter.Ask(&m_window, kCaption,
                           QStringLiteral("Discard the unsaved changes to %1 from %2? They cannot be recovered afterwards.")
                               .arg(Quoted(name), When(entry.record.writtenAt)),
                           Prompter::YesNo, Prompter::Exclamation, Prompter::No)
            == Prompter::Yes)
            m_folder.Remove(entry.slot);
        return;
    }
    // A file that is there opens as files do, with the offer.
    if (!entry.record.untitled && !DiskStamp::IsMissing(entry.record.path)) {
        if (m_files.QuerySaveChanges())
            m_files.OpenPath(entry.record.path, name);
        return;
    }
    const DialogFile *before = m_session.GetDocument();
    m_files.NewFile();
    if (m_session.GetDocument() == before)
        return; // the user kept the document open
    if (!entry.record.untitled) {
        m_files.SetDocumentName(entry.record.path, name);
        m_session.GetDocument()->ClearUntitled();
        Follow();
    }
    Restore(entry);
}
