#pragma once

#include "words/SpellingCheck.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>

class SpellChecker;
template <typename T>
class QFutureWatcher;

// The program's one dictionary, and the user's settings for spelling: the
// dictionary's language (en_US unless the user chose another) and whether
// options shown only to PCs of low intelligence are spelt. The dictionary
// loads when it is first asked for, on another thread, with the personal
// word list learnt: nothing waits for it, start-up least of all. Until it is
// there, and when its language has no dictionary, spelling is off (which is
// said once for each language). Every window, panel and dialog shares it.
class SharedDictionary : public QObject {
    Q_OBJECT
public:
    static SharedDictionary &Instance();

    // The checker, or null while it loads or when there is none; the first
    // call has it loaded, a moment later (kStartDelay), so that asking at
    // start-up does not slow the window's showing.
    std::shared_ptr<SpellChecker> Checker();
    // The language has no dictionary (or none that can be read).
    bool IsUnavailable() const { return m_state == State::Unavailable; }
    // Neither asked for nor loading: spelling is on or off for good.
    bool IsSettled() const { return m_state == State::Ready || m_state == State::Unavailable; }
    static constexpr int kStartDelay = 200; // ms
    // Waits for a loading asked for, starting it now, and hands on its result.
    void WaitForLoading();

    const QString &GetLanguage() const { return m_language; }
    SpellingCheck::Options GetOptions() const { return m_options; }
    // Keeps the settings for this run and the next; another language
    // drops the dictionary, and the next ask loads that language's.
    void SetSettings(const QString &language, bool lowIntelligenceOptions);
    // Drops the dictionary, so that the next ask loads it again from the
    // folders as they now are.
    void Reload();
    // Takes word as right in every text from now on, for this run ("Ignore").
    void Learn(std::string_view word);

    // The languages whose dictionaries are installed, in the folders
    // Hunspell's are looked for in.
    static QStringList Languages();
    // The user's own word list, which holds for every file.
    static std::string PersonalList();

signals:
    // What spelling says may differ now: the dictionary came or went, it
    // learnt a word, or the settings changed.
    void changed();
    // The language has no dictionary: spelling is off. Once per language.
    void unavailable(const QString &reason);

private:
    enum class State { Idle, Scheduled, Loading, Ready, Unavailable };
    struct Loaded;

    SharedDictionary();
    void StartLoading();
    void Finished();

    State m_state = State::Idle;
    QString m_language;
    SpellingCheck::Options m_options;
    std::shared_ptr<SpellChecker> m_checker;
    QFutureWatcher<std::shared_ptr<Loaded>> *m_loading;
    QSet<QString> m_told; // languages whose missing dictionary was said
    bool m_stale = false; // the loading under way is for what was dropped since
};
