#include "session/RecoveryKeeper.h"

#include "model/DialogFile.h"
#include "session/EditingSession.h"
#include "storage/FileOps.h"

#include <QFile>
#include <QStandardPaths>
#include <ctime>
#include <utility>
#include <unistd.h>

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

RecoveryKeeper::RecoveryKeeper(EditingSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_ops(&FileOps::Default())
    , m_folder(QFile::encodeName(FolderPath()).toStdString())
    , m_writing(this, [this](std::string error) { Written(error); }, &m_writer)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(Delay);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::KeepInBackground);
    m_writer.setMaxThreadCount(1);
    connect(&session, &EditingSession::changed, this, &RecoveryKeeper::OnChanged);
    connect(&session, &EditingSession::modifiedChanged, this, &RecoveryKeeper::OnModifiedChanged);
    connect(&session, &EditingSession::documentReplaced, this, &RecoveryKeeper::Replaced);
    connect(&session, &EditingSession::nameChanged, this, &RecoveryKeeper::Follow);
    Follow();
}

// The program's normal end: nothing is left to recover.
RecoveryKeeper::~RecoveryKeeper()
{
    m_session.disconnect(this);
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

void RecoveryKeeper::OnChanged()
{
    m_edited = true;
    if (!m_timer.isActive())
        m_timer.start();
}

// Undone to what was saved, or saved: the recovery file goes. A write under
// way is not waited for (an undo must not wait for the disk): the file goes
// once it is written, unless a later write has taken its place.
void RecoveryKeeper::OnModifiedChanged(bool modified)
{
    if (modified)
        return;
    m_timer.stop();
    Follow();
    if (m_writing.IsRunning()) {
        m_removeWhenWritten = true;
        return;
    }
    RemoveKept();
}

// Only a file this window wrote: one that a crash left in its slot waits
// for the offer.
void RecoveryKeeper::RemoveKept()
{
    FinishWrite();
    m_removeWhenWritten = false;
    if (m_kept)
        m_folder.Remove(m_slot);
    m_kept = false;
}

RecoveryRecord RecoveryKeeper::MakeRecord() const
{
    RecoveryRecord record;
    record.untitled = m_untitled;
    record.path = m_untitled ? m_session.GetDisplayName().toStdString() : m_identity;
    if (!m_untitled)
        record.base = m_session.GetDiskStamp();
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
    if (m_writing.IsRunning()) {
        m_timer.start(); // once the write under way is done
        return;
    }
    StartWrite();
}

void RecoveryKeeper::StartWrite()
{
    // The copy shares the bytes read with the document; writing it out,
    // and the disk, take their time off the user interface thread.
    std::shared_ptr<DialogFile> copy = m_session.GetDocument()->Copy();
    m_removeWhenWritten = false;
    m_writing.Run(++m_writes, [folder = m_folder, slot = m_slot, record = MakeRecord(), copy, ops = m_ops]() mutable {
        record.bytes = copy->WriteText();
        std::string error;
        if (!folder.Write(slot, record, *ops, error) && error.empty())
            error = "it could not be written";
        return error;
    });
}

bool RecoveryKeeper::FinishWrite()
{
    m_writing.Wait();
    return m_writeOk;
}

void RecoveryKeeper::Written(const std::string &error)
{
    m_writeOk = error.empty();
    if (m_writeOk) {
        m_kept = true;
        m_failureTold = false;
    } else {
        TellFailure(error);
    }
    if (std::exchange(m_removeWhenWritten, false) && !m_session.IsModified() && m_kept) {
        m_folder.Remove(m_slot);
        m_kept = false;
    }
}

// Said once: editing goes on, and a later write may succeed.
void RecoveryKeeper::TellFailure(const std::string &error)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    const QString folder = FolderPath().isEmpty() ? QString() : QStringLiteral(" in ") + FolderPath();
    emit message(QStringLiteral("Unsaved changes to %1 cannot be kept for recovery%2: %3")
                     .arg(Quoted(m_session.GetDisplayName()), folder, QString::fromStdString(error)));
}
