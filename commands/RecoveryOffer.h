#pragma once

#include "storage/RecoveryFolder.h"

#include <QObject>
#include <QString>
#include <vector>

class EditingSession;
class FileCommands;
class Prompter;
class QWidget;
class RecoveryKeeper;

// The questions about unsaved work that a crash left: when a file is
// opened (or named to be created), at start-up for untitled documents, and
// File > Recover unsaved work..., which lists every recovery file that no
// window keeps. Restoring makes the recovered document the session's.
class RecoveryOffer : public QObject {
    Q_OBJECT
public:
    RecoveryOffer(EditingSession &session, Prompter &prompter, FileCommands &files, RecoveryKeeper &keeper, QWidget *parent);

    // For the file just opened, named displayName: says so when another
    // window has it open, and offers what was kept of it.
    void OfferForFile(const QString &displayName);
    // At start-up with an untitled document: offers what was kept of
    // untitled documents.
    void OfferForUntitled();
    // Every recovery file that no window keeps, to restore or discard.
    void ShowUnkept();

private:
    // Asks about each entry in turn until one is restored; name is the
    // document's, or empty for the entry's own. True when one was.
    bool Offer(const std::vector<RecoveryFolder::Entry> &entries, const QString &name);
    QString Differences(const RecoveryFolder::Entry &entry, const QString &name) const;
    bool Restore(const RecoveryFolder::Entry &entry);
    void Tell(const QString &text);

    EditingSession &m_session;
    Prompter &m_prompter;
    FileCommands &m_files;
    RecoveryKeeper &m_keeper;
    QWidget *m_parent;
};
