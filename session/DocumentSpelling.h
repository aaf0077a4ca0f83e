#pragma once

#include "session/LatestJob.h"
#include "words/SpellingCheck.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class DialogFile;
class EditingSession;
class KnownWords;
class SpellChecker;

// Spelling for the session's document: the program's dictionary (see
// SharedDictionary) and the words taken as right in this document besides
// it, those of its project word lists (talkwright-words.txt beside the file
// and up the folders) and of its pages' names. The known words are made
// again, off the user interface thread from the session's copies, whenever
// the document or its name changes. The text boxes that underline misspelt
// words and the problems panel ask here. One a session.
class DocumentSpelling : public QObject {
    Q_OBJECT
public:
    static DocumentSpelling &Of(EditingSession &session);

    // A misspelt word of a text as a box shows it, in characters.
    struct Word {
        int start = 0;
        int length = 0;
        bool operator==(const Word &) const = default;
    };
    // The misspelt words of text; none while spelling is off (no
    // dictionary yet, or none for the language).
    std::vector<Word> Misspelt(const QString &text) const;
    // What word may have been meant to be, the dictionary's best first.
    QStringList Suggestions(const QString &word) const;
    // "Add to word list": word goes into the nearest project list, made
    // beside the file when there is none (the personal list for an
    // untitled document), and is right from now on. Says on message where
    // it went, or why it could not.
    void AddToWordList(const QString &word);
    // "Ignore": word is right in every text for the rest of the run.
    void Ignore(const QString &word);

    // The dictionary, or null while spelling is off; asking starts its loading.
    std::shared_ptr<SpellChecker> Checker() const;
    SpellingCheck::Options GetOptions() const;
    // The known words, and the copy of the document they were made for
    // (null before the first copy, or with no document open).
    std::shared_ptr<const KnownWords> GetKnownWords() const { return m_known; }
    std::shared_ptr<const DialogFile> GetDocumentCopy() const { return m_copy; }
    // Grows with each change that changed announced.
    quint64 GetVersion() const { return m_version; }
    // The known words are those of the document as it stands.
    bool IsUpToDate() const;

signals:
    // What spelling says may differ now: the known words were made again,
    // a word was added or ignored, the dictionary or the settings changed.
    void changed();
    // Where an added word went, or why it could not; a word list that
    // could not be read.
    void message(const QString &text);

private:
    struct Made;

    explicit DocumentSpelling(EditingSession &session);
    void MakeKnownWords(std::shared_ptr<const DialogFile> copy, quint64 generation);
    void Take(std::shared_ptr<Made> made);
    void Announce();
    // The file whose project lists hold; empty for an untitled document.
    std::string ListPath() const;

    EditingSession &m_session;
    std::shared_ptr<const KnownWords> m_known;
    std::shared_ptr<const DialogFile> m_copy;
    quint64 m_received = 0; // the generation of the copy last made from
    quint64 m_requests = 0;
    quint64 m_version = 0;
    QString m_unreadableTold; // the list that could not be read, as last said
    LatestJob<std::shared_ptr<Made>> m_job;
};
