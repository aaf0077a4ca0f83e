#include "commands/RecoveryOffer.h"

#include "commands/FileCommands.h"
#include "dialogs/CRecoverDlg.h"
#include "model/DialogFile.h"
#include "session/EditingSession.h"
#include "session/RecoveryKeeper.h"
#include "storage/UnifiedDiff.h"
#include "ui/AnsiText.h"
#include "ui/Prompter.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>

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

RecoveryOffer::RecoveryOffer(EditingSession &session, Prompter &prompter, FileCommands &files, RecoveryKeeper &keeper, QWidget *parent)
    : QObject(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_files(files)
    , m_keeper(keeper)
    , m_parent(parent)
{
}

void RecoveryOffer::Tell(const QString &text)
{
    m_prompter.Tell(m_parent, QStringLiteral("talkwright"), text, Prompter::Exclamation);
}

void RecoveryOffer::OfferForFile(const QString &displayName)
{
    m_keeper.Follow();
    if (m_keeper.GetOtherWindow() != 0)
        m_prompter.Tell(m_parent, QStringLiteral("talkwright"),
                        Quoted(displayName)
                            + QStringLiteral(" is open in another Talkwright window (process %1). Whichever window saves it last "
                                             "replaces what the other saved.")
                                  .arg(m_keeper.GetOtherWindow()),
                        Prompter::Exclamation);
    if (!m_keeper.IsUntitled())
        Offer(RecoveryFolder::ForFile(m_keeper.GetFolder().Unkept(), m_keeper.GetIdentity()), displayName);
}

void RecoveryOffer::OfferForUntitled()
{
    Offer(RecoveryFolder::ForUntitled(m_keeper.GetFolder().Unkept(m_keeper.GetSlot())), QString());
}

bool RecoveryOffer::Offer(const std::vector<RecoveryFolder::Entry> &entries, const QString &name)
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
                m_prompter.Ask(m_parent, kCaption, text, Prompter::YesNoCancel, Prompter::Question, Prompter::Yes,
                               {QStringLiteral("&Restore"), QStringLiteral("&Discard"), QStringLiteral("&Show differences")});
            if (answer == Prompter::Cancel) {
                m_prompter.ShowText(m_parent, QStringLiteral("Differences"), Differences(entry, shown));
                continue;
            }
            if (answer == Prompter::Yes && Restore(entry))
                return true;
            if (answer == Prompter::No)
                m_keeper.GetFolder().Remove(entry.slot);
            else if (entry.slot == m_keeper.GetSlot())
                m_keeper.KeepBeside(); // one that could not be restored is kept, not written over
            break;
        }
    }
    return false;
}

// The file on disk (nothing, for an untitled document or a missing file)
// against the recovered bytes.
QString RecoveryOffer::Differences(const RecoveryFolder::Entry &entry, const QString &name) const
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
bool RecoveryOffer::Restore(const RecoveryFolder::Entry &entry)
{
    auto document = std::make_unique<DialogFile>();
    if (!document->ReadText(entry.record.bytes)) {
        m_prompter.Tell(m_parent, kCaption,
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
    m_keeper.MarkEdited();
    if (m_keeper.KeepNow() && entry.slot != m_keeper.GetSlot())
        m_keeper.GetFolder().Remove(entry.slot);
    return true;
}

void RecoveryOffer::ShowUnkept()
{
    const std::vector<RecoveryFolder::Entry> entries = m_keeper.GetFolder().Unkept(m_keeper.GetSlot());
    if (entries.empty()) {
        Tell(QStringLiteral("No unsaved work is waiting to be recovered in ") + RecoveryKeeper::FolderPath() + QLatin1Char('.'));
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
    CRecoverDlg dialog(rows, m_parent);
    if (dialog.exec() != QDialog::Accepted || dialog.GetChosen() < 0)
        return;
    const RecoveryFolder::Entry &entry = entries[static_cast<size_t>(dialog.GetChosen())];
    const QString name = NameOf(entry.record);
    if (!dialog.IsRestore()) {
        if (m_prompter.Ask(m_parent, kCaption,
                           QStringLiteral("Discard the unsaved changes to %1 from %2? They cannot be recovered afterwards.")
                               .arg(Quoted(name), When(entry.record.writtenAt)),
                           Prompter::YesNo, Prompter::Exclamation, Prompter::No)
            == Prompter::Yes)
            m_keeper.GetFolder().Remove(entry.slot);
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
        m_session.GetDocument()->ClearUntitled();
        m_session.SetDocumentName(entry.record.path, name);
    }
    Restore(entry);
}
