#include "panels/ConversationsPanel.h"

#include "model/DialogFile.h"
#include "panels/FolderTreeModel.h"
#include "session/EditingSession.h"
#include "session/GameFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString Counted(int count, const char *one, const char *many)
{
    return count == 1 ? QStringLiteral("1 ") + QLatin1String(one) : QStringLiteral("%1 ").arg(count) + QLatin1String(many);
}

} // namespace

ConversationsPanel::ConversationsPanel(EditingSession &session, GameFolder &folder, QWidget *parent)
    : Panel(QStringLiteral("Conversations"), parent)
    , m_session(session)
    , m_folder(folder)
    , m_model(new FolderTreeModel(folder, this))
    , m_filter(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("conversationsPanel"));
    QVBoxLayout *layout = CreateBody();
    QWidget *body = layout->parentWidget();
    filterEdit = AddFilter(layout, QStringLiteral("conversationsFilter"), QStringLiteral("Filter files"), QStringLiteral("File name"));
    summary = new QLabel(body);
    summary->setObjectName(QStringLiteral("conversationsSummary"));
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
    layout->addWidget(summary);

    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(FolderTreeModel::NameColumn);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setRecursiveFilteringEnabled(true);
    m_filter->setAutoAcceptChildRows(true); // a folder's name that matches shows what it holds
    fileView = new QTreeView(body);
    fileView->setObjectName(QStringLiteral("conversationsView"));
    fileView->setAccessibleName(QStringLiteral("Conversation files"));
    fileView->setModel(m_filter);
    fileView->setUniformRowHeights(true);
    fileView->setAllColumnsShowFocus(true);
    // Sized once, not to the contents: measuring every row would cost each change.
    const QFontMetrics metrics = fileView->fontMetrics();
    fileView->header()->setStretchLastSection(true);
    fileView->header()->resizeSection(FolderTreeModel::NameColumn, metrics.horizontalAdvance(QLatin1Char('M')) * 12);
    for (int column : {FolderTreeModel::PagesColumn, FolderTreeModel::ErrorsColumn, FolderTreeModel::WarningsColumn})
        fileView->header()->resizeSection(column, metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString()) + 16);
    layout->addWidget(fileView, 1);

    connect(filterEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_filter->setFilterFixedString(text);
        if (!text.isEmpty())
            fileView->expandAll();
    });
    // Enter in the filter opens the file chosen, or the first one listed.
    connect(filterEdit, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex current = fileView->currentIndex();
        Activate(current.isValid() ? current : FirstFile({}));
    });
    connect(fileView, &QTreeView::activated, this, &ConversationsPanel::Activate);
    // The folder is read when the panel is first shown, not before.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_folder.Load();
    });
    connect(&folder, &GameFolder::stateChanged, this, &ConversationsPanel::ShowSummary);
    connect(&folder, &GameFolder::filesChanged, this, &ConversationsPanel::ShowSummary);
    connect(&folder, &GameFolder::folderChanged, this, &ConversationsPanel::ShowSummary);
    connect(&folder, &GameFolder::folderChanged, this, &ConversationsPanel::MarkOpenFile);
    connect(&session, &EditingSession::documentReplaced, this, &ConversationsPanel::MarkOpenFile);
    connect(&session, &EditingSession::nameChanged, this, &ConversationsPanel::MarkOpenFile);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!filterEdit->text().isEmpty())
            fileView->expandAll();
    });
    ShowSummary();
    MarkOpenFile();
}

QModelIndex ConversationsPanel::ViewIndexOf(const std::string &path) const
{
    return m_filter->mapFromSource(m_model->IndexOf(path));
}

// Depth first, as the tree lists them: folders before files.
QModelIndex ConversationsPanel::FirstFile(const QModelIndex &parent) const
{
    for (int row = 0; row < m_filter->rowCount(parent); ++row) {
        const QModelIndex at = m_filter->index(row, 0, parent);
        if (!m_model->FileAt(m_filter->mapToSource(at)).empty())
            return at;
        if (const QModelIndex inside = FirstFile(at); inside.isValid())
            return inside;
    }
    return {};
}

void ConversationsPanel::Activate(const QModelIndex &index)
{
    const std::string path = m_model->FileAt(m_filter->mapToSource(index));
    if (!path.empty())
        emit openRequested(path, -1, -1);
}

void ConversationsPanel::MarkOpenFile()
{
    const DialogFile *document = m_session.GetDocument();
    m_model->SetOpenFile(document && !document->IsUntitled() ? GameFolder::Spelling(document->GetFileName()) : std::string());
}

void ConversationsPanel::ShowSummary()
{
    const std::string &folder = m_folder.GetFolder();
    const QString path = QFile::decodeName(QByteArray::fromStdString(folder));
    summary->setToolTip(path);
    if (folder.empty()) {
        summary->setText(QStringLiteral("No folder: open a file, or choose File > Open folder..."));
        return;
    }
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    if (const auto unlisted = m_folder.Unreadable().find(folder); unlisted != m_folder.Unreadable().end()) {
        summary->setText(name + QStringLiteral(" cannot be listed: ") + QString::fromStdString(unlisted->second));
        return;
    }
    const FolderTreeModel::Sums &total = m_model->Total();
    QString text = name + QStringLiteral(": ") + Counted(total.files, "file", "files");
    if (!m_folder.IsLoaded()) {
        summary->setText(text + QStringLiteral(" so far, reading..."));
        return;
    }
    text += QStringLiteral(", ") + Counted(total.errors, "error", "errors") + QStringLiteral(", ") + Counted(total.warnings, "warning", "warnings");
    if (total.unreadable > 0)
        text += QStringLiteral(", %1 cannot be read").arg(total.unreadable);
    summary->setText(text);
}
