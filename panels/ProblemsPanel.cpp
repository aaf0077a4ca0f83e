#include "panels/ProblemsPanel.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "panels/ProblemListModel.h"
#include "rules/Linter.h"
#include "session/DocumentSpelling.h"
#include "session/EditingSession.h"
#include "session/SnapshotFeed.h"
#include "ui/AnsiText.h"
#include "ui/SharedDictionary.h"
#include "words/SpellingCheck.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSettings>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

// What a check or a spelling of one copy found, sorted as dlgtool check sorts.
struct ProblemsResult {
    quint64 generation = 0;
    std::vector<Finding> findings;
};

namespace {

const QString kSpellingKey = QStringLiteral("spelling/inProblems");

// A misspelt word as the panel lists it: a note at its line.
Finding SpellingFinding(const std::string &file, const SpellingCheck::Finding &word)
{
    Finding finding;
    finding.file = file;
    finding.line = word.line;
    finding.severity = Finding::Note;
    finding.message = "spelling: \"" + word.word + "\"";
    if (word.text == SpellingCheck::Text::FemaleNpcSpeech)
        finding.message += " (speech to female PCs)";
    finding.page = word.page;
    finding.option = word.option;
    return finding;
}

QString Counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

ProblemsPanel::ProblemsPanel(EditingSession &session, QWidget *parent)
    : Panel(QStringLiteral("Problems"), parent)
    , m_session(session)
    , m_spelling(DocumentSpelling::Of(session))
    , m_model(new ProblemListModel(this))
    , m_job(this, [this](std::shared_ptr<ProblemsResult> result) { Show(std::move(result)); })
    , m_spellingJob(this, [this](std::shared_ptr<ProblemsResult> result) { ShowSpelt(std::move(result)); })
{
    setObjectName(QStringLiteral("problemsPanel"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A panel's controls take no Alt keys: the window's menus and page have them all.
    spellingSwitch = new QToolButton(body);
    spellingSwitch->setObjectName(QStringLiteral("spellingSwitch"));
    spellingSwitch->setText(QStringLiteral("Spelling"));
    spellingSwitch->setAccessibleName(QStringLiteral("Show misspelt words"));
    spellingSwitch->setToolTip(QStringLiteral("Lists the misspelt words among the problems"));
    spellingSwitch->setCheckable(true);
    spellingSwitch->setAutoRaise(true);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(2, 2, 2, 2);
    header->addWidget(spellingSwitch);
    header->addStretch();
    layout->addLayout(header);

    problemView = new QTreeView(body);
    problemView->setObjectName(QStringLiteral("problemView"));
    problemView->setAccessibleName(QStringLiteral("Problems"));
    problemView->setModel(m_model);
    problemView->setRootIsDecorated(false);
    problemView->setUniformRowHeights(true);
    problemView->setAllColumnsShowFocus(true);
    problemView->header()->setStretchLastSection(true);
    problemView->header()->setSectionResizeMode(ProblemListModel::LineColumn, QHeaderView::ResizeToContents);
    layout->addWidget(problemView);
    // Showing the panel puts the focus in its list.
    body->setFocusProxy(problemView);
    setWidget(body);

    connect(problemView, &QTreeView::activated, this, [this](const QModelIndex &index) {
        const ProblemListModel::Entry *entry = m_model->EntryAt(index);
        DialogLine *page = entry && m_session.GetDocument() ? m_session.GetDocument()->GetPage(entry->finding.page) : nullptr;
        if (!page)
            return;
        const int option = entry->finding.option;
        m_session.ShowLine(page, option >= 0 && option < page->GetOptionCount() ? page->GetOption(option) : page);
    });
    SnapshotFeed &feed = SnapshotFeed::Of(session);
    connect(&feed, &SnapshotFeed::changed, this, &ProblemsPanel::Check);
    connect(&m_spelling, &DocumentSpelling::changed, this, &ProblemsPanel::Spell);
    spellingSwitch->setChecked(QSettings().value(kSpellingKey, false).toBool());
    connect(spellingSwitch, &QToolButton::toggled, this, &ProblemsPanel::ShowSpelling);
    Check(feed.GetLatest(), feed.GetGeneration());
    Spell();
}

// A check under way works on its own copy: it ends by itself.
ProblemsPanel::~ProblemsPanel() = default;

bool ProblemsPanel::IsUpToDate() const
{
    const bool checked = m_job.IsUpToDate() && m_job.GetRequested() == SnapshotFeed::Of(m_session).GetGeneration();
    const bool spelt = !spellingSwitch->isChecked()
                       || (SharedDictionary::Instance().IsSettled() && m_spelling.IsUpToDate() && m_spellingJob.IsUpToDate()
                           && m_speltVersion == m_spelling.GetVersion());
    return checked && spelt;
}

void ProblemsPanel::ShowSpelling(bool on)
{
    QSettings().setValue(kSpellingKey, on);
    if (spellingSwitch->isChecked() != on)
        spellingSwitch->setChecked(on); // comes back here, toggled
    else
        Spell();
}

void ProblemsPanel::Check(std::shared_ptr<const DialogFile> document, quint64 generation)
{
    if (!document) {
        m_job.Skip(generation);
        m_checked.clear();
        ShowAll();
        return;
    }
    m_job.Run(generation, [document, generation] {
        auto result = std::make_shared<ProblemsResult>();
        result->generation = generation;
        result->findings = Linter::CheckDocument(*document, document->GetFileName());
        std::sort(result->findings.begin(), result->findings.end());
        return result;
    });
}

// On the copy the known words were made for, whenever spelling says
// something else (which it does after each copy).
void ProblemsPanel::Spell()
{
    spellingSwitch->setEnabled(!SharedDictionary::Instance().IsUnavailable());
    const quint64 version = m_spelling.GetVersion();
    const std::shared_ptr<const DialogFile> document = m_spelling.GetDocumentCopy();
    const std::shared_ptr<SpellChecker> checker = spellingSwitch->isChecked() ? m_spelling.Checker() : nullptr;
    if (!checker || !document) {
        // Off, or nothing to spell: the dictionary's coming says so again.
        m_spellingJob.Skip(++m_spellingRequests);
        m_speltVersion = version;
        // Listing the checks' findings again costs with many of them: only
        // when what is listed changes.
        if (!m_spelt.empty() || m_spellingListed != spellingSwitch->isChecked()) {
            m_spelt.clear();
            ShowAll();
        }
        return;
    }
    m_spellingJob.Run(++m_spellingRequests, [document, checker, known = m_spelling.GetKnownWords(), options = m_spelling.GetOptions(), version] {
        auto result = std::make_shared<ProblemsResult>();
        result->generation = version;
        for (const SpellingCheck::Finding &word : SpellingCheck::CheckDocument(*document, *checker, *known, options))
            result->findings.push_back(SpellingFinding(document->GetFileName(), word));
        std::sort(result->findings.begin(), result->findings.end());
        return result;
    });
}

void ProblemsPanel::Show(std::shared_ptr<ProblemsResult> result)
{
    // Only the latest copy matches the document as it stands.
    if (result->generation != SnapshotFeed::Of(m_session).GetGeneration())
        return;
    m_checked = std::move(result->findings);
    ShowAll();
}

void ProblemsPanel::ShowSpelt(std::shared_ptr<ProblemsResult> result)
{
    if (result->generation != m_spelling.GetVersion() || !spellingSwitch->isChecked())
        return;
    m_speltVersion = result->generation;
    m_spelt = std::move(result->findings);
    ShowAll();
}

void ProblemsPanel::ShowAll()
{
    // Each list is sorted already.
    std::vector<Finding> findings;
    findings.reserve(m_checked.size() + m_spelt.size());
    std::merge(m_checked.begin(), m_checked.end(), m_spelt.begin(), m_spelt.end(), std::back_inserter(findings));
    const DialogFile *document = m_session.GetDocument();
    std::vector<ProblemListModel::Entry> entries;
    entries.reserve(findings.size());
    for (Finding &finding : findings) {
        const DialogLine *page = document ? document->GetPage(finding.page) : nullptr;
        QString name = page ? AnsiText::ToDisplay(page->GetLabel()) : QString();
        entries.push_back({std::move(finding), std::move(name)});
    }
    m_model->SetEntries(std::move(entries));
    if (!document) {
        setWindowTitle(QStringLiteral("Problems"));
    } else {
        QString counts = Counted(m_model->Count(Finding::Error), "error", "errors") + QStringLiteral(", ")
                         + Counted(m_model->Count(Finding::Warning), "warning", "warnings");
        m_spellingListed = spellingSwitch->isChecked();
        if (m_spellingListed)
            counts += QStringLiteral(", ") + Counted(static_cast<int>(m_spelt.size()), "misspelt word", "misspelt words");
        setWindowTitle(QStringLiteral("Problems (%1)").arg(counts));
    }
    emit updated();
}
