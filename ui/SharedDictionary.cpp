#include "ui/SharedDictionary.h"

#include "spelling/HunspellDictionary.h"
#include "words/KnownWords.h"
#include "words/SpellChecker.h"
#include "words/WordList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QString kLanguageKey = QStringLiteral("spelling/language");
const QString kLowIntelligenceKey = QStringLiteral("spelling/lowIntelligenceOptions");
const QString kDefaultLanguage = QStringLiteral("en_US");

} // namespace

// What a loading made: the checker, or why there is none.
struct SharedDictionary::Loaded {
    std::shared_ptr<SpellChecker> checker;
    QString reason;
};

SharedDictionary &SharedDictionary::Instance()
{
    static SharedDictionary *instance = new SharedDictionary;
    return *instance;
}

SharedDictionary::SharedDictionary()
    : QObject(QCoreApplication::instance())
    , m_loading(new QFutureWatcher<std::shared_ptr<Loaded>>(this))
{
    const QSettings settings;
    m_language = settings.value(kLanguageKey, kDefaultLanguage).toString();
    m_options.lowIntelligenceOptions = settings.value(kLowIntelligenceKey, false).toBool();
    connect(m_loading, &QFutureWatcherBase::finished, this, &SharedDictionary::Finished);
}

std::shared_ptr<SpellChecker> SharedDictionary::Checker()
{
    // The window shows first: loading beside it would slow its start.
    if (m_state == State::Idle) {
        m_state = State::Scheduled;
        QTimer::singleShot(kStartDelay, this, [this] {
            if (m_state == State::Scheduled)
                StartLoading();
        });
    }
    return m_checker;
}

void SharedDictionary::StartLoading()
{
    m_state = State::Loading;
    m_stale = false;
    m_loading->setFuture(QtConcurrent::run([language = m_language.toStdString(), personal = PersonalList()] {
        auto loaded = std::make_shared<Loaded>();
        std::string error;
        std::unique_ptr<HunspellDictionary> dictionary = HunspellDictionary::Load(language, HunspellDictionary::Folders(), error);
        if (!dictionary) {
            loaded->reason = QString::fromStdString(error);
            return loaded;
        }
        loaded->checker = std::make_shared<SpellChecker>(std::move(dictionary));
        // The personal list holds for every file; one that cannot be read
        // takes nothing from spelling.
        KnownWords words;
        if (!personal.empty() && QFile::exists(QString::fromStdString(personal)) && words.AddList(personal, error))
            loaded->checker->LearnAll(words);
        return loaded;
    }));
}

void SharedDictionary::Finished()
{
    if (!m_loading->isFinished() || m_state != State::Loading)
        return;
    const std::shared_ptr<Loaded> loaded = m_loading->result();
    if (m_stale) {
        StartLoading();
        return;
    }
    m_checker = loaded->checker;
    m_state = m_checker ? State::Ready : State::Unavailable;
    if (!m_checker && !m_told.contains(m_language)) {
        m_told.insert(m_language);
        emit unavailable(QStringLiteral("Spelling is off: %1.").arg(loaded->reason));
    }
    emit changed();
}

void SharedDictionary::WaitForLoading()
{
    if (m_state == State::Scheduled)
        StartLoading();
    while (m_state == State::Loading) {
        m_loading->waitForFinished();
        Finished();
    }
}

void SharedDictionary::SetSettings(const QString &language, bool lowIntelligenceOptions)
{
    QSettings settings;
    settings.setValue(kLanguageKey, language);
    settings.setValue(kLowIntelligenceKey, lowIntelligenceOptions);
    const bool otherLanguage = language != m_language;
    m_language = language;
    m_options.lowIntelligenceOptions = lowIntelligenceOptions;
    if (otherLanguage)
        Reload();
    else
        emit changed();
}

void SharedDictionary::Reload()
{
    m_checker.reset();
    if (m_state == State::Loading)
        m_stale = true;
    else if (m_state != State::Scheduled)
        m_state = State::Idle;
    emit changed();
}

void SharedDictionary::Learn(std::string_view word)
{
    if (!m_checker)
        return;
    m_checker->Learn(word);
    emit changed();
}

QStringList SharedDictionary::Languages()
{
    QStringList languages;
    for (const std::string &language : HunspellDictionary::Languages(HunspellDictionary::Folders()))
        languages << QString::fromStdString(language);
    return languages;
}

std::string SharedDictionary::PersonalList()
{
    return WordList::PersonalList(QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).toStdString());
}
