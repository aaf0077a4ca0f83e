#include "panels/OutlinePanel.h"

#include "session/EditingSession.h"
#include "panels/PageListModel.h"
#include "model/DialogFile.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

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
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    // A panel's controls take no Alt keys: the window's menus and page have them all.
    auto *label = new QLabel(QStringLiteral("Filter:"), body);
    filterEdit = new QLineEdit(body);
    filterEdit->setObjectName(QStringLiteral("outlineFilter"));
    filterEdit->setAccessibleName(QStringLiteral("Filter"));
    filterEdit->setPlaceholderText(QStringLiteral("Name or description"));
    filterEdit->setClearButtonEnabled(true);
    label->setBuddy(filterEdit);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(label);
    filterRow->addWidget(filterEdit);
    layout->addLayout(filterRow);

    m_filter->setSourceModel(m_model);
    pageView = new QTreeView(body);
    pageView->setObjectName(QStringLiteral("outlineView"));
    pageView->setAccessibleName(QStringLiteral("Pages"));
    pageView->setModel(m_filter);
    pageView->setRootIsDecorated(false);
    pageView->setUniformRowHeights(true);
    pageView->setAllColumnsShowFocus(true);
    pageView->setContextMenuPolicy(Qt::CustomContextMenu);
    // Sized once, not to the contents: measuring every row would cost each edit.
    pageView->header()->setStretchLastSection(false);
    pageView->header()->setSectionResizeMode(PageListModel::DescriptionColumn, QHeaderView::Stretch);
    pageView->header()->resizeSection(PageListModel::NameColumn, pageView->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 12);
    pageView->header()->resizeSection(PageListModel::OptionsColumn, pageView->fontMetrics().horizontalAdvance(QStringLiteral("Options")) + 16);
    layout->addWidget(pageView);
    setWidget(body);

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
