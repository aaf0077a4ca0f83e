#include "panels/OutlinePanel.h"

#include "session/EditingSession.h"
#include "panels/PageListModel.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "ui/AnsiText.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

// Name or description holds the filter text, in any case.
class PageFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetText(const QString &text)
    {
        m_text = text;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const QString &text = m_text;
        if (text.isEmpty())
            return true;
        const QAbstractItemModel *pages = sourceModel();
        for (int column : {PageListModel::NameColumn, PageListModel::DescriptionColumn}) {
            if (pages->index(row, column, parent).data(Qt::DisplayRole).toString().contains(text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

private:
    QString m_text;
};

} // namespace

OutlinePanel::OutlinePanel(EditingSession &session, QWidget *parent)
    : Panel(QStringLiteral("Outline"), parent)
    , m_session(session)
    , m_model(new PageListModel(session, this))
    , m_filter(new PageFilter(this))
{
    setObjectName(QStringLiteral("outlinePanel"));
    QVBoxLayout *layout = CreateBody();
    QWidget *body = layout->parentWidget();
    filterEdit = AddFilter(layout, QStringLiteral("outlineFilter"), QStringLiteral("Filter"), QStringLiteral("Name or description"));

    m_filter->setSourceModel(m_model);
    pageView = new QTreeView(body);
    pageView->setObjectName(QStringLiteral("outlineView"));
    pageView->setAccessibleName(QStringLiteral("Pages"));
    pageView->setModel(m_filter);
    pageView->setRootIsDecorated(false);
    pageView->setUniformRowHeights(true);
    pageView->setAllColumnsShowFocus(true);
    pageView->setContextMenuPolicy(Qt::CustomContextMenu);
    // The names take the room they need, measured as pages come and change
    // (see FitNames); the descriptions the rest, a long one cut short with
    // "\u2026".
    pageView->header()->setStretchLastSection(false);
    pageView->header()->setSectionResizeMode(PageListModel::DescriptionColumn, QHeaderView::Stretch);
    pageView->header()->resizeSection(PageListModel::OptionsColumn, pageView->fontMetrics().horizontalAdvance(QStringLiteral("Options")) + 16);
    pageView->setTextElideMode(Qt::ElideRight);
    pageView->installEventFilter(this);
    pageView->viewport()->installEventFilter(this);
    layout->addWidget(pageView);

    connect(filterEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        static_cast<PageFilter *>(m_filter)->SetText(text);
    });
    // Enter in the filter shows the entry chosen, or the first one listed.
    connect(filterEdit, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex current = pageView->currentIndex();
        if (DialogLine *page = PageAt(current.isValid() ? current : m_filter->index(0, 0)))
            m_session.ShowLine(page, page);
    });
    connect(pageView, &QTreeView::activated, this, [this](const QModelIndex &index) {
        if (DialogLine *page = PageAt(index))
            m_session.ShowLine(page, page);
    });
    connect(pageView, &QTreeView::clicked, pageView, &QTreeView::activated);
    connect(pageView, &QWidget::customContextMenuRequested, this, &OutlinePanel::ShowMenu);
    // After a reset (an edit, undo or redo) the page on display is found again.
    connect(m_model, &QAbstractItemModel::modelReset, this, &OutlinePanel::ShowCurrentPage);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { FitNames(-1); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &first, const QModelIndex &last) {
        FitNames(first.row() == last.row() ? first.row() : -1);
    });
    FitNames(-1);
    connect(&session, &EditingSession::currentPageChanged, this, &OutlinePanel::ShowCurrentPage);
}

DialogLine *OutlinePanel::PageAt(const QModelIndex &index) const
{
    const DialogFile *document = m_session.GetDocument();
    return index.isValid() && document ? document->GetPage(m_filter->mapToSource(index).row()) : nullptr;
}

void OutlinePanel::SetContextActions(QList<QAction *> actions)
{
    m_contextActions = std::move(actions);
}

void OutlinePanel::TakeKeys(QList<std::pair<QKeySequence, QAction *>> keys)
{
    m_keys = std::move(keys);
}

// Only the longest names by their bytes are measured: one of them is the
// widest, and measuring every name would cost each edit of a long document.
// A change of one page measures its name alone, unless it was the widest.
void OutlinePanel::FitNames(int row)
{
    const DialogFile *document = m_session.GetDocument();
    QFont bold = pageView->font(); // the page on display is bold, and marked
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const auto measure = [&](int at) {
        const int width = metrics.horizontalAdvance(QStringLiteral("\u25B8 ") + AnsiText::ToDisplay(document->GetPage(at)->ViewLabel()));
        if (width > m_widest) {
            m_widest = width;
            m_widestRow = at;
        }
    };
    if (row >= 0 && row != m_widestRow && document && row < document->GetPageCount()) {
        measure(row);
    } else {
        m_widest = metrics.horizontalAdvance(QStringLiteral("Page"));
        m_widestRow = -1;
        std::vector<std::pair<size_t, int>> lengths; // bytes, row
        for (int i = 0; document && i < document->GetPageCount(); ++i)
            lengths.emplace_back(document->GetPage(i)->ViewLabel().size(), i);
        constexpr size_t kMeasured = 64;
        const auto longest = lengths.begin() + static_cast<ptrdiff_t>(std::min(kMeasured, lengths.size()));
        if (longest != lengths.begin())
            std::nth_element(lengths.begin(), longest - 1, lengths.end(), std::greater<>());
        for (auto at = lengths.begin(); at != longest; ++at)
            measure(at->second);
    }
    LayOutColumns();
}

// The names as wide as the widest while the descriptions keep some room
// beside them; a narrow outline cuts both short, with "\u2026", rather than
// hide the ends of the descriptions past its edge.
void OutlinePanel::LayOutColumns()
{
    const int margins = 2 * pageView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pageView) + 8;
    const int least = pageView->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 4;
    const int room = pageView->viewport()->width() - pageView->header()->sectionSize(PageListModel::OptionsColumn) - least;
    pageView->header()->resizeSection(PageListModel::NameColumn, std::max(least, std::min(m_widest + margins, room)));
}

// A key the list takes is claimed before the window's shortcut sees it,
// then runs its action when it arrives. A wider list gives the names room;
// another font measures them again.
bool OutlinePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pageView->viewport() && event->type() == QEvent::Resize)
        LayOutColumns();
    if (watched == pageView && event->type() == QEvent::FontChange)
        FitNames(-1);
    if (watched == pageView && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto &[keys, action] : std::as_const(m_keys)) {
            if (keys.isEmpty() || pressed != keys)
                continue;
            event->accept();
            if (event->type() == QEvent::KeyPress && action->isEnabled())
                action->trigger();
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

// The page commands act on the page on display: the entry clicked becomes it.
void OutlinePanel::ShowMenu(const QPoint &position)
{
    DialogLine *page = PageAt(pageView->indexAt(position));
    if (!page || m_contextActions.isEmpty())
        return;
    m_session.ShowLine(page, page);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("outlineContextMenu"));
    for (QAction *action : std::as_const(m_contextActions)) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    menu.exec(pageView->viewport()->mapToGlobal(position));
}

DialogLine *OutlinePanel::GetSelectedPage() const
{
    return PageAt(pageView->currentIndex());
}

void OutlinePanel::ShowCurrentPage()
{
    m_model->MarkCurrentPage();
    const DialogFile *document = m_session.GetDocument();
    const int row = document ? document->IndexOf(m_session.GetCurrentPage()) : -1;
    if (row < 0)
        return;
    const QModelIndex shown = m_filter->mapFromSource(m_model->index(row, 0));
    if (!shown.isValid())
        return;
    pageView->setCurrentIndex(shown);
    pageView->scrollTo(shown);
}
