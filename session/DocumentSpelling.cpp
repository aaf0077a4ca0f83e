#include "session/DocumentSpelling.h"

#include "model/DialogFile.h"
#include "model/Windows1252.h"
#include "session/EditingSession.h"
#include "session/SnapshotFeed.h"
#include "ui/AnsiText.h"
#include "ui/SharedDictionary.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"
#include "words/WordList.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThreadPool>
#include <utility>

namespace {

// text as dialog-file bytes, one a character, so that a word's bytes are
// its characters; a character that Windows-1252 lacks parts words.
std::string BytesOf(const QString &text)
{
    std::string bytes(static_cast<size_t>(text.size()), ' ');
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char byte = 0;
        if (Windows1252::FromUnicode(text[i].unicode(), byte))
            bytes[static_cast<size_t>(i)] = static_cast<char>(byte);
    }
    return bytes;
}

QString Shown(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

// The known words made from one copy, and a word list that could not be read.
struct DocumentSpelling::Made {
    std::shared_ptr<const DialogFile> copy;
    std::shared_ptr<const KnownWords> known;
    std::string unreadable;
    std::string reason;
};

DocumentSpelling &DocumentSpelling::Of(EditingSession &session)
{
    if (auto *spelling = session.findChild<DocumentSpelling *>(QString(), Qt::FindDirectChildrenOnly))
        return *spelling;
    return *new DocumentSpelling(session);
}

DocumentSpelling::DocumentSpelling(EditingSession &session)
    : QObject(&session)
    , m_session(session)
    , m_known(std::make_shared<KnownWords>())
    , m_job(this, [this](std::shared_ptr<Made> made) { Take(std::move(made)); })
{
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &DocumentSpelling::MakeKnownWords);
    // A new name brings other project lists; when a copy is due, it is
    // made with the new name anyway.
    connect(&session, &EditingSession::nameChanged, this, [this, &feed] {
        if (m_received == feed.GetGeneration())
            MakeKnownWords(feed.GetLatest(), m_received);
    });
    connect(&SharedDictionary::Instance(), &SharedDictionary::changed, this, &DocumentSpelling::Announce);
    if (feed.GetLatest())
        MakeKnownWords(feed.GetLatest(), feed.GetGeneration());
}

std::string DocumentSpelling::ListPath() const
{
    const DialogFile *document = m_session.GetDocument();
    return document && !document->IsUntitled() ? document->GetFileName() : std::string();
}

void DocumentSpelling::MakeKnownWords(std::shared_ptr<const DialogFile> copy, quint64 generation)
{
    m_received = generation;
    m_job.Run(++m_requests, [copy = std::move(copy), path = ListPath(), home = WordList::Home()] {
        auto made = std::make_shared<Made>();
        made->copy = copy;
        auto known = std::make_shared<KnownWords>();
        for (const std::string &list : WordList::ProjectLists(path, home)) {
            std::string reason;
            if (!known->AddList(list, reason) && made->unreadable.empty()) {
                made->unreadable = list;
                made->reason = reason;
            }
        }
        if (copy)
            known->AddPageNames(*copy);
        made->known = std::move(known);
        return made;
    });
}

void DocumentSpelling::Take(std::shared_ptr<Made> made)
{
    // Taking a large copy apart takes as long as making it: off this thread.
    QThreadPool::globalInstance()->start([copy = std::exchange(m_copy, std::move(made->copy)),
                                          known = std::exchange(m_known, std::move(made->known))]() mutable {
        copy.reset();
        known.reset();
    });
    const QString unreadable = Shown(made->unreadable);
    if (unreadable != m_unreadableTold && !unreadable.isEmpty())
        emit message(QStringLiteral("Cannot read the word list %1: %2").arg(unreadable, QString::fromStdString(made->reason)));
    m_unreadableTold = unreadable;
    Announce();
}

void DocumentSpelling::Announce()
{
    ++m_version;
    emit changed();
}

bool DocumentSpelling::IsUpToDate() const
{
    return m_job.IsUpToDate() && m_received == SnapshotFeed::Of(m_session).GetGeneration();
}

std::shared_ptr<SpellChecker> DocumentSpelling::Checker() const
{
    return SharedDictionary::Instance().Checker();
}

SpellingCheck::Options DocumentSpelling::GetOptions() const
{
    return SharedDictionary::Instance().GetOptions();
}

std::vector<DocumentSpelling::Word> DocumentSpelling::Misspelt(const QString &text) const
{
    const std::shared_ptr<SpellChecker> checker = Checker();
    std::vector<Word> words;
    if (!checker || text.isEmpty())
        return words;
    for (const TextWords::Range &range : checker->Misspelt(BytesOf(text), *m_known))
        words.push_back({static_cast<int>(range.begin), static_cast<int>(range.end - range.begin)});
    return words;
}

QStringList DocumentSpelling::Suggestions(const QString &word) const
{
    const std::shared_ptr<SpellChecker> checker = Checker();
    QStringList suggestions;
    if (!checker)
        return suggestions;
    for (const std::string &suggestion : checker->Suggest(BytesOf(word)))
        suggestions << AnsiText::ToDisplay(suggestion);
    return suggestions;
}

void DocumentSpelling::AddToWordList(const QString &word)
{
    const std::string bytes = BytesOf(word);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const std::string list = WordList::NearestList(ListPath(), WordList::Home(), QFile::encodeName(dataFolder).toStdString());
    const bool personal = list == SharedDictionary::PersonalList();
    if (personal)
        QDir().mkpath(dataFolder);
    std::string error;
    if (list.empty() || !WordList::Add(list, bytes, error)) {
        emit message(QStringLiteral("Cannot add \"%1\" to a word list: %2").arg(word, list.empty() ? QStringLiteral("there is no data folder") : QString::fromStdString(error)));
        return;
    }
    emit message(QStringLiteral("Added \"%1\" to %2").arg(word, Shown(list)));
    if (personal) {
        SharedDictionary::Instance().Learn(bytes);
        return;
    }
    // Right at once, and in the words made again from the lists as they now are.
    auto known = std::make_shared<KnownWords>(*m_known);
    known->Add(bytes);
    m_known = std::move(known);
    Announce();
    MakeKnownWords(SnapshotFeed::Of(m_session).GetLatest(), m_received);
}

void DocumentSpelling::Ignore(const QString &word)
{
    SharedDictionary::Instance().Learn(BytesOf(word));
}
