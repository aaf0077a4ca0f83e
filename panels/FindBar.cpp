#include "panels/FindBar.h"

#include "regex/RegularExpression.h"
#include "session/EditingSession.h"
#include "session/GameFolder.h"
#include "session/SnapshotFeed.h"
#include "ui/Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"
#include "ui/Counted.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QKeyEvent>
#include <QToolButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { PageColumn, KindColumn, LineColumn, TextColumn };
constexpr int kHtmlRole = Qt::UserRole + 1;
constexpr int kMatchType = QTreeWidgetItem::UserType + 1;

// Draws the text column's rich text, in which the matches are bold.
class MatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        QTextDocument text;
        text.setDocumentMargin(0);
        text.setDefaultFont(item.font);
        text.setHtml(index.data(kHtmlRole).toString());
        painter->save();
        painter->translate(item.rect.left() + 3, item.rect.top() + (item.rect.height() - text.size().height()) / 2);
        painter->setClipRect(QRect(QPoint(), item.rect.size()));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        text.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

// The matches stand at the same places in the text shown: one byte is one character.
QString Marked(const TextSearch::Hit &hit)
{
    const QString text = AnsiText::ToDisplay(hit.text);
    QString html;
    qsizetype at = 0;
    for (const auto &[start, length] : hit.matches) {
        html += text.mid(at, qsizetype(start) - at).toHtmlEscaped() + QStringLiteral("<b><u>")
            + text.mid(qsizetype(start), qsizetype(length)).toHtmlEscaped() + QStringLiteral("</u></b>");
        at = qsizetype(start + length);
    }
    html += text.mid(at).toHtmlEscaped();
    return html.replace(QLatin1Char('\n'), QStringLiteral(" | "));
}

// Which text of its page a place is: "page name", "option 2 speech", ...
QString WhichText(const DocumentText::Place &place)
{
    return QString::fromStdString(DocumentText::WhichText(place));
}

// One match in the list. Its texts are made when the list shows them, so
// that listing a word found in every text of a large file takes no time;
// it refers to no line of the document, which may change meanwhile.
class MatchItem : public QTreeWidgetItem {
public:
    // index: its place among all matches listed.
    MatchItem(const TextSearch::Hit &hit, QString page, int index)
        : QTreeWidgetItem(kMatchType)
        , m_hit(hit)
        , m_page(std::move(page))
        , m_line(hit.place.line->GetFileLine())
        , m_index(index)
    {
    }

    int Index() const { return m_index; }

    QVariant data(int column, int role) const override
    {
        if (role == Qt::DisplayRole) {
            switch (column) {
            case PageColumn:
                return m_page;
            case KindColumn:
                return WhichText(m_hit.place);
            case LineColumn:
                return m_line > 0 ? QString::number(m_line) : QStringLiteral("new");
            case TextColumn:
                return AnsiText::ToDisplay(m_hit.text);
            }
        }
        if (column == TextColumn && role == kHtmlRole)
            return Marked(m_hit);
        if (column == TextColumn && role == Qt::AccessibleTextRole)
            return AnsiText::ToDisplay(m_hit.text);
        return QTreeWidgetItem::data(column, role);
    }

private:
    // The bar's own: the list is emptied before its matches change.
    const TextSearch::Hit &m_hit;
    QString m_page;
    int m_line;
    int m_index;
};

// The matches of one text, for a list: each under its page's name, one
// name made for all the matches of a page.
QList<QTreeWidgetItem *> MatchItems(const std::vector<TextSearch::Hit> &hits, int firstIndex, size_t &matches)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(static_cast<qsizetype>(hits.size()));
    const DialogLine *page = nullptr;
    QString label;
    for (const TextSearch::Hit &hit : hits) {
        if (hit.place.page != page) {
            page = hit.place.page;
            label = AnsiText::ToDisplay(page->ViewLabel());
        }
        items.append(new MatchItem(hit, label, firstIndex + static_cast<int>(items.size())));
        matches += hit.matches.size();
    }
    return items;
}

QString Where(const DocumentText::Place &place)
{
    return AnsiText::ToDisplay(place.page->ViewLabel()) + QStringLiteral(", ") + WhichText(place);
}

} // namespace

// What a search of the folder found.
struct FindBar::FolderResult {
    std::vector<FolderSearch::FileHits> files;
};

FindBar::FindBar(EditingSession &session, Prompter &prompter, GameFolder &folder, QWidget *parent)
    : Panel(QStringLiteral("Find"), parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_folder(folder)
    , m_searchTimer(new QTimer(this))
    , m_folderJob(this, [this](std::shared_ptr<FolderResult> result) { ShowFolder(std::move(result)); })
{
    setObjectName(QStringLiteral("findBar"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    const auto labelled = [body](const QString &caption, QLineEdit *&edit, const char *name) {
        auto *label = new QLabel(caption, body);
        edit = new QLineEdit(body);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(QString(caption).remove(QLatin1Char(':')));
        label->setBuddy(edit);
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(label);
        row->addWidget(edit, 1);
        return row;
    };
    // A panel's controls take no Alt keys: the window's menus and page have
    // them all. Enter and F3 go to the next match, Shift+F3 to the one before.
    const auto toolButton = [](const QString &text, const QString &tip, const char *name, QWidget *parent) {
        auto *button = new QToolButton(parent);
        button->setText(text);
        button->setToolTip(tip);
        button->setAccessibleName(text);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    QHBoxLayout *findRow = labelled(QStringLiteral("Find:"), findEdit, "findText");
    matchCase = new QCheckBox(QStringLiteral("Match case"), body);
    wholeWords = new QCheckBox(QStringLiteral("Whole words"), body);
    regularExpression = new QCheckBox(QStringLiteral("Regular expression"), body);
    QToolButton *previous = toolButton(QStringLiteral("Previous"), QStringLiteral("The match before (Shift+F3)"), "previousButton", body);
    QToolButton *next = toolButton(QStringLiteral("Next"), QStringLiteral("The next match (Enter, F3)"), "nextButton", body);
    // Narrow enough to stand beside the page: the options on a row of their own.
    findRow->addWidget(previous);
    findRow->addWidget(next);
    layout->addLayout(findRow);
    auto *optionsRow = new QHBoxLayout;
    optionsRow->setContentsMargins(0, 0, 0, 0);
    for (QWidget *control : std::initializer_list<QWidget *>{matchCase, wholeWords, regularExpression})
        optionsRow->addWidget(control);
    optionsRow->addStretch(1);
    layout->addLayout(optionsRow);

    m_replaceRow = new QWidget(body);
    QHBoxLayout *replaceRow = labelled(QStringLiteral("Replace with:"), replaceEdit, "replaceText");
    replaceEdit->setParent(m_replaceRow);
    QToolButton *replaceAll = toolButton(QStringLiteral("Replace all"), QStringLiteral("Replaces every match, as one step (Enter)"),
                                         "replaceAllButton", m_replaceRow);
    replaceRow->addWidget(replaceAll);
    m_replaceRow->setLayout(replaceRow);
    layout->addWidget(m_replaceRow);

    // Where to look, beside what was found: the bar grows no taller.
    scope = new QComboBox(body);
    scope->setObjectName(QStringLiteral("findScope"));
    scope->setAccessibleName(QStringLiteral("Look in"));
    scope->addItems({QStringLiteral("this file"), QStringLiteral("all files in the folder")});
    summary = new QLabel(body);
    summary->setObjectName(QStringLiteral("findSummary"));
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
    auto *summaryRow = new QHBoxLayout;
    summaryRow->setContentsMargins(0, 0, 0, 0);
    summaryRow->addWidget(scope);
    summaryRow->addWidget(summary, 1);
    layout->addLayout(summaryRow);
    results = new QTreeWidget(body);
    results->setObjectName(QStringLiteral("findResults"));
    results->setAccessibleName(QStringLiteral("Matches"));
    results->setHeaderLabels({QStringLiteral("Page"), QStringLiteral("Text"), QStringLiteral("Line"), QStringLiteral("Match")});
    results->setRootIsDecorated(false);
    results->setUniformRowHeights(true);
    results->setItemDelegateForColumn(TextColumn, new MatchDelegate(results));
    results->header()->setStretchLastSection(true);
    layout->addWidget(results, 1);
    setWidget(body);

    m_searchTimer->setSingleShot(true);
    m_searchTimer->setInterval(150);
    connect(m_searchTimer, &QTimer::timeout, this, &FindBar::Search);
    const auto stale = [this] {
        m_stale = true;
        m_searchTimer->start();
    };
    connect(findEdit, &QLineEdit::textChanged, this, stale);
    for (QCheckBox *box : {matchCase, wholeWords, regularExpression})
        connect(box, &QCheckBox::toggled, this, stale);
    connect(scope, &QComboBox::currentIndexChanged, this, [this, stale] {
        results->clear();
        m_hits.clear();
        m_fileHits.clear();
        m_folderMatches.clear();
        results->setRootIsDecorated(GetScope() == AllFiles);
        stale();
    });
    // The matches of a changed document are found again when they are
    // shown; in the folder, those of a changed file too, and the open
    // document is looked through as its copies come.
    connect(&session, &EditingSession::changed, this, [this] {
        if (GetScope() == ThisFile)
            Stale();
    });
    connect(&session, &EditingSession::documentReplaced, this, [this] {
        if (GetScope() == ThisFile)
            Stale();
    });
    connect(&SnapshotFeed::Of(session), &SnapshotFeed::changed, this, [this] {
        if (GetScope() == AllFiles)
            Stale();
    });
    const auto folderStale = [this] {
        if (GetScope() == AllFiles)
            Stale();
    };
    connect(&folder, &GameFolder::filesChanged, this, folderStale);
    connect(&folder, &GameFolder::loaded, this, folderStale);
    connect(&folder, &GameFolder::folderChanged, this, folderStale);
    connect(findEdit, &QLineEdit::returnPressed, this, [this] { Step(1); });
    connect(replaceEdit, &QLineEdit::returnPressed, this, &FindBar::ReplaceAll);
    connect(next, &QToolButton::clicked, this, [this] { Step(1); });
    connect(previous, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(replaceAll, &QToolButton::clicked, this, &FindBar::ReplaceAll);
    // A file's entry goes to its first match.
    connect(results, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (item->type() != kMatchType)
            item = item->childCount() > 0 ? item->child(0) : nullptr;
        if (item)
            Go(static_cast<MatchItem *>(item)->Index());
    });
}

// The list's entries show the matches: they go first.
FindBar::~FindBar()
{
    results->clear();
}

void FindBar::Open(bool replace)
{
    m_replaceRow->setVisible(replace);
    show();
    if (m_stale)
        m_searchTimer->start();
    raise();
    findEdit->setFocus();
    findEdit->selectAll();
}

FindBar::Scope FindBar::GetScope() const
{
    return scope->currentIndex() == AllFiles ? AllFiles : ThisFile;
}

bool FindBar::IsUpToDate() const
{
    return !m_stale && !m_searchTimer->isActive() && m_folderJob.IsUpToDate();
}

void FindBar::Stale()
{
    m_stale = true;
    if (isVisible() && !findEdit->text().isEmpty())
        m_searchTimer->start();
}

TextSearch::Options FindBar::GetOptions() const
{
    return {matchCase->isChecked(), wholeWords->isChecked(), regularExpression->isChecked()};
}

TextSearch FindBar::MakeSearch() const
{
    return TextSearch(findEdit->text().toStdString(), GetOptions(), &RegularExpression::Engine());
}

void FindBar::Search()
{
    m_searchTimer->stop();
    if (GetScope() == AllFiles) {
        SearchFolder();
        return;
    }
    m_stale = false;
    results->clear();
    m_hits.clear();
    const TextSearch search = MakeSearch();
    if (!search.IsValid() || !m_session.GetDocument()) {
        summary->setText(QString::fromStdString(search.GetError()));
        emit updated();
        return;
    }
    m_hits = search.FindAll(*m_session.GetDocument());
    size_t matches = 0;
    results->addTopLevelItems(MatchItems(m_hits, 0, matches));
    summary->setText(m_hits.empty() ? QStringLiteral("No match") : Counted(static_cast<qsizetype>(matches), "match", "matches") + QStringLiteral(" in ")
                                                               + Counted(static_cast<qsizetype>(m_hits.size()), "text", "texts"));
    emit updated();
}

// Every file of the folder, on a copy of the list, off this thread: the
// list shown stays until the new one is ready.
void FindBar::SearchFolder()
{
    m_stale = false;
    auto search = std::make_shared<const TextSearch>(findEdit->text().toStdString(), GetOptions(), &RegularExpression::Engine());
    const auto stop = [this](const QString &why) {
        m_folderJob.Skip(++m_generation);
        results->clear();
        m_fileHits.clear();
        m_folderMatches.clear();
        summary->setText(why);
        emit updated();
    };
    if (!search->IsValid())
        return stop(QString::fromStdString(search->GetError()));
    if (m_folder.GetFolder().empty())
        return stop(QStringLiteral("No folder: open a file, or choose File > Open folder..."));
    if (!m_folder.IsLoaded()) {
        m_folder.Load();
        m_stale = true; // searched once the folder is read
        return stop(QStringLiteral("Reading the folder..."));
    }
    summary->setText(QStringLiteral("Looking through ") + Counted(static_cast<qsizetype>(m_folder.Files().size()), "file", "files") + QStringLiteral("..."));
    m_folderJob.Run(++m_generation, [files = m_folder.FilesWith(SnapshotFeed::Of(m_session).GetLatest()), search] {
        auto result = std::make_shared<FolderResult>();
        result->files = FolderSearch::Find(files, *search);
        return result;
    });
}

void FindBar::ShowFolder(std::shared_ptr<FolderResult> result)
{
    // The match chosen stays chosen, found again by its file and place.
    std::string chosenFile;
    std::pair<int, int> chosenPlace{-1, -2};
    DocumentText::Kind chosenKind = DocumentText::Name;
    if (auto *item = results->currentItem(); item && item->type() == kMatchType) {
        const auto [file, hit] = m_folderMatches[static_cast<size_t>(static_cast<MatchItem *>(item)->Index())];
        const FolderSearch::FileHits &hits = m_fileHits[static_cast<size_t>(file)];
        const DocumentText::Place &place = hits.hits[static_cast<size_t>(hit)].place;
        chosenFile = hits.path;
        chosenPlace = {hits.document->IndexOf(place.page), place.option};
        chosenKind = place.kind;
    }
    results->clear();
    m_fileHits = std::move(result->files);
    m_folderMatches.clear();
    const std::string &folder = m_folder.GetFolder();
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    size_t matches = 0;
    size_t texts = 0;
    QTreeWidgetItem *chosen = nullptr;
    for (size_t f = 0; f < m_fileHits.size(); ++f) {
        const FolderSearch::FileHits &file = m_fileHits[f];
        const std::string name = file.path.starts_with(prefix) ? file.path.substr(prefix.size()) : file.path;
        auto *entry = new QTreeWidgetItem(results);
        entry->setText(PageColumn, QFile::decodeName(QByteArray::fromStdString(name)) + QStringLiteral(" (%1)").arg(file.hits.size()));
        entry->setFirstColumnSpanned(true);
        const QList<QTreeWidgetItem *> items = MatchItems(file.hits, static_cast<int>(m_folderMatches.size()), matches);
        for (size_t h = 0; h < file.hits.size(); ++h) {
            m_folderMatches.emplace_back(static_cast<int>(f), static_cast<int>(h));
            const DocumentText::Place &place = file.hits[h].place;
            if (file.path == chosenFile && place.kind == chosenKind && place.option == chosenPlace.second
                && file.document->IndexOf(place.page) == chosenPlace.first)
                chosen = items[static_cast<qsizetype>(h)];
        }
        entry->addChildren(items);
        texts += file.hits.size();
    }
    results->expandAll();
    if (chosen)
        results->setCurrentItem(chosen);
    summary->setText(m_fileHits.empty() ? QStringLiteral("No match")
                                        : Counted(static_cast<qsizetype>(matches), "match", "matches") + QStringLiteral(" in ")
                                              + Counted(static_cast<qsizetype>(texts), "text", "texts") + QStringLiteral(" in ")
                                              + Counted(static_cast<qsizetype>(m_fileHits.size()), "file", "files"));
    emit updated();
    if (const int by = std::exchange(m_stepWhenFound, 0); by != 0)
        Step(by);
}

int FindBar::MatchCount() const
{
    return static_cast<int>(GetScope() == AllFiles ? m_folderMatches.size() : m_hits.size());
}

QTreeWidgetItem *FindBar::ItemAt(int index) const
{
    if (GetScope() == ThisFile)
        return results->topLevelItem(index);
    const auto [file, hit] = m_folderMatches[static_cast<size_t>(index)];
    return results->topLevelItem(file)->child(hit);
}

void FindBar::Step(int by)
{
    if (m_stale) {
        if (GetScope() == AllFiles) {
            m_stepWhenFound = by;
            Search();
            return;
        }
        Search();
    }
    const int count = MatchCount();
    if (count == 0)
        return;
    int at = by > 0 ? -1 : count;
    if (QTreeWidgetItem *item = results->currentItem(); item && item->type() == kMatchType)
        at = static_cast<MatchItem *>(item)->Index();
    else if (item && item->childCount() > 0) // a file: from before its first match
        at = static_cast<MatchItem *>(item->child(0))->Index() - (by > 0 ? 1 : 0);
    Go(((at + by) % count + count) % count);
}

void FindBar::Go(int index)
{
    if (index < 0 || index >= MatchCount())
        return;
    results->setCurrentItem(ItemAt(index));
    if (GetScope() == ThisFile) {
        const DocumentText::Place &place = m_hits[static_cast<size_t>(index)].place;
        m_session.ShowLine(place.page, place.line);
        return;
    }
    const auto [file, hit] = m_folderMatches[static_cast<size_t>(index)];
    const FolderSearch::FileHits &hits = m_fileHits[static_cast<size_t>(file)];
    const DocumentText::Place &place = hits.hits[static_cast<size_t>(hit)].place;
    emit openRequested(hits.path, hits.document->IndexOf(place.page), place.option);
}

void FindBar::ReplaceAll()
{
    const TextSearch search = MakeSearch();
    if (search.IsValid() && GetScope() == AllFiles) {
        emit replaceInFolder(findEdit->text(), GetOptions(), replaceEdit->text());
        return;
    }
    if (!search.IsValid() || !m_session.GetDocument())
        return;
    const TextSearch::Replacement replacement = search.ReplaceAll(*m_session.GetDocument(), replaceEdit->text().toStdString());
    if (replacement.changes.empty() && replacement.refused.empty()) {
        m_prompter.Tell(this, QStringLiteral("Replace all"), QStringLiteral("Nothing to replace."), Prompter::Exclamation);
        return;
    }
    QString text = QStringLiteral("Replace all will change ") + Counted(static_cast<qsizetype>(replacement.changes.size()), "text", "texts");
    const auto list = [](QString &out, const auto &entries, const auto &describe) {
        int shown = 0;
        for (const auto &entry : entries) {
            if (++shown > 12) {
                out += QStringLiteral("\n  and %1 more").arg(entries.size() - 12);
                break;
            }
            out += QStringLiteral("\n  ") + describe(entry);
        }
    };
    text += replacement.changes.empty() ? QStringLiteral(".") : QStringLiteral(":");
    list(text, replacement.changes, [](const TextSearch::Change &change) { return Where(change.place); });
    if (!replacement.refused.empty()) {
        text += QStringLiteral("\n\n%1 take the replacement and stay as they are:")
                    .arg(Counted(static_cast<qsizetype>(replacement.refused.size()), "text cannot", "texts cannot"));
        list(text, replacement.refused, [](const TextSearch::Refusal &refusal) {
            return Where(refusal.place) + QStringLiteral(": ") + QString::fromStdString(refusal.reason);
        });
    }
    if (replacement.changes.empty()) {
        m_prompter.Tell(this, QStringLiteral("Replace all"), text, Prompter::Exclamation);
        return;
    }
    text += QStringLiteral("\n\nReplace them? (Undo takes it back.)");
    if (m_prompter.Ask(this, QStringLiteral("Replace all"), text, Prompter::YesCancel, Prompter::Question, Prompter::Cancel,
                       {QStringLiteral("&Replace"), QString(), QStringLiteral("Cancel")})
        != Prompter::Yes)
        return;
    m_session.ReplaceTexts(replacement.changes);
}
