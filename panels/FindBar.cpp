#include "panels/FindBar.h"

#include "regex/RegularExpression.h"
#include "session/EditingSession.h"
#include "ui/Prompter.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
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
    MatchItem(const TextSearch::Hit &hit, QString page)
        : m_hit(hit)
        , m_page(std::move(page))
        , m_line(hit.place.line->GetFileLine())
    {
    }

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
};

QString Where(const DocumentText::Place &place)
{
    return AnsiText::ToDisplay(place.page->ViewLabel()) + QStringLiteral(", ") + WhichText(place);
}

} // namespace

FindBar::FindBar(EditingSession &session, Prompter &prompter, QWidget *parent)
    : Panel(QStringLiteral("Find"), parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_searchTimer(new QTimer(this))
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

    summary = new QLabel(body);
    summary->setObjectName(QStringLiteral("findSummary"));
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
    layout->addWidget(summary);
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
    // The matches of a changed document are found again when they are shown.
    const auto changed = [this] {
        m_stale = true;
        if (isVisible() && !findEdit->text().isEmpty())
            m_searchTimer->start();
    };
    connect(&session, &EditingSession::changed, this, changed);
    connect(&session, &EditingSession::documentReplaced, this, changed);
    connect(findEdit, &QLineEdit::returnPressed, this, [this] { Step(1); });
    connect(replaceEdit, &QLineEdit::returnPressed, this, &FindBar::ReplaceAll);
    connect(next, &QToolButton::clicked, this, [this] { Step(1); });
    connect(previous, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(replaceAll, &QToolButton::clicked, this, &FindBar::ReplaceAll);
    connect(results, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { Go(results->indexOfTopLevelItem(item)); });
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

TextSearch FindBar::MakeSearch() const
{
    return TextSearch(findEdit->text().toStdString(), {matchCase->isChecked(), wholeWords->isChecked(), regularExpression->isChecked()},
                      &RegularExpression::Engine());
}

void FindBar::Search()
{
    m_searchTimer->stop();
    m_stale = false;
    results->clear();
    m_hits.clear();
    const TextSearch search = MakeSearch();
    if (!search.IsValid() || !m_session.GetDocument()) {
        summary->setText(QString::fromStdString(search.GetError()));
        return;
    }
    m_hits = search.FindAll(*m_session.GetDocument());
    QList<QTreeWidgetItem *> items;
    items.reserve(static_cast<qsizetype>(m_hits.size()));
    size_t matches = 0;
    const DialogLine *page = nullptr;
    QString label; // one for the matches of one page
    for (const TextSearch::Hit &hit : m_hits) {
        if (hit.place.page != page) {
            page = hit.place.page;
            label = AnsiText::ToDisplay(page->ViewLabel());
        }
        items.append(new MatchItem(hit, label));
        matches += hit.matches.size();
    }
    results->addTopLevelItems(items);
    summary->setText(m_hits.empty() ? QStringLiteral("No match") : QStringLiteral("%1 matches in %2 texts").arg(matches).arg(m_hits.size()));
}

void FindBar::Step(int by)
{
    if (m_stale)
        Search();
    if (m_hits.empty())
        return;
    const int count = static_cast<int>(m_hits.size());
    const int at = results->currentItem() ? results->indexOfTopLevelItem(results->currentItem()) : (by > 0 ? -1 : count);
    Go(((at + by) % count + count) % count);
}

void FindBar::Go(int row)
{
    if (row < 0 || row >= static_cast<int>(m_hits.size()))
        return;
    results->setCurrentItem(results->topLevelItem(row));
    const DocumentText::Place &place = m_hits[static_cast<size_t>(row)].place;
    m_session.ShowLine(place.page, place.line);
}

void FindBar::ReplaceAll()
{
    const TextSearch search = MakeSearch();
    if (!search.IsValid() || !m_session.GetDocument())
        return;
    const TextSearch::Replacement replacement = search.ReplaceAll(*m_session.GetDocument(), replaceEdit->text().toStdString());
    if (replacement.changes.empty() && replacement.refused.empty()) {
        m_prompter.Tell(this, QStringLiteral("Replace all"), QStringLiteral("Nothing to replace."), Prompter::Exclamation);
        return;
    }
    QString text = QStringLiteral("Replace all will change %1 texts").arg(replacement.changes.size());
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
        text += QStringLiteral("\n\n%1 texts cannot take the replacement and stay as they are:").arg(replacement.refused.size());
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
