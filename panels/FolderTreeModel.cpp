#include "panels/FolderTreeModel.h"

#include "session/GameFolder.h"

#include <QFile>
#include <QFont>
#include <algorithm>

namespace {

QString FromSystem(const std::string &name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

} // namespace

struct FolderTreeModel::Node {
    enum Kind { Folder, File, PassedBy };
    Kind kind = Folder;
    std::string key;  // its name in its folder, as the system spells it
    std::string path; // in full
    Sums sums;        // a file's own, a folder's of the files below it
    QString note;     // why it is not read, listed or followed
    Node *parent = nullptr;
    // Folders first, then the rest, each by name.
    std::vector<std::unique_ptr<Node>> children;

    static bool Before(const std::unique_ptr<Node> &node, const std::pair<bool, std::string_view> &place)
    {
        const bool folder = node->kind == Folder;
        return folder != place.first ? folder : std::string_view(node->key) < place.second;
    }
    // Where a child of that kind and name stands or would stand.
    size_t Place(bool folder, std::string_view name) const
    {
        return static_cast<size_t>(std::lower_bound(children.begin(), children.end(), std::pair(folder, name), Before) - children.begin());
    }
    int Row() const { return static_cast<int>(parent->Place(kind == Folder, key)); }
};

namespace {

FolderTreeModel::Sums operator-(const FolderTreeModel::Sums &a, const FolderTreeModel::Sums &b)
{
    return {a.files - b.files, a.unreadable - b.unreadable, a.pages - b.pages, a.errors - b.errors, a.warnings - b.warnings};
}

} // namespace

FolderTreeModel::FolderTreeModel(GameFolder &folder, QObject *parent)
    : QAbstractItemModel(parent)
    , m_folder(folder)
    , m_root(std::make_unique<Node>())
{
    connect(&folder, &GameFolder::folderChanged, this, &FolderTreeModel::Reset);
    connect(&folder, &GameFolder::filesChanged, this, &FolderTreeModel::FilesChanged);
    connect(&folder, &GameFolder::loaded, this, &FolderTreeModel::Listed);
    Reset();
    std::vector<std::string> paths;
    for (const FolderFile &file : folder.Files())
        paths.push_back(file.path);
    FilesChanged(paths);
    if (folder.IsLoaded())
        Listed();
}

FolderTreeModel::~FolderTreeModel() = default;

void FolderTreeModel::Reset()
{
    beginResetModel();
    m_root = std::make_unique<Node>();
    m_root->path = m_folder.GetFolder();
    endResetModel();
}

void FolderTreeModel::FilesChanged(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths)
        Put(path);
}

// What reading through the folder passed by, or could not list.
void FolderTreeModel::Listed()
{
    for (const auto &[path, why] : m_folder.Skipped()) {
        if (Node *node = Reach(path, false, true); node && node->kind == Node::PassedBy) {
            node->note = QStringLiteral("passed by: ") + QString::fromStdString(why);
            emit dataChanged(IndexOf(node), IndexOf(node, ColumnCount - 1));
        }
    }
    for (const auto &[path, why] : m_folder.Unreadable()) {
        if (Node *node = path == m_root->path ? nullptr : Reach(path, true, true)) {
            node->note = QStringLiteral("cannot be listed: ") + QString::fromStdString(why);
            emit dataChanged(IndexOf(node), IndexOf(node, ColumnCount - 1));
        }
    }
}

void FolderTreeModel::Put(const std::string &path)
{
    const FolderFile *entry = m_folder.Find(path);
    if (!entry) {
        if (Node *node = Reach(path, false, false); node && node->kind == Node::File)
            TakeOut(node);
        return;
    }
    Node *node = Reach(path, false, true);
    node->kind = Node::File;
    const bool read = entry->error.empty();
    const Sums sums{1, read ? 0 : 1, entry->pages, entry->errors, entry->warnings};
    node->note = read ? QString() : QStringLiteral("cannot be read: ") + QString::fromStdString(entry->error);
    Add(node, sums - node->sums, 1);
}

FolderTreeModel::Node *FolderTreeModel::Reach(const std::string &path, bool folder, bool make)
{
    const std::string &root = m_root->path;
    const std::string prefix = root == "/" ? root : root + "/";
    // A path outside the folder stands at the top, named in full.
    const std::string_view relative = path.starts_with(prefix) && path.size() > prefix.size()
        ? std::string_view(path).substr(prefix.size()) : std::string_view(path);
    Node *at = m_root.get();
    for (size_t start = 0;;) {
        const size_t slash = relative.find('/', start);
        const bool last = slash == std::string_view::npos || relative.data() == path.data();
        const std::string_view name = last ? relative.substr(start) : relative.substr(start, slash - start);
        const bool isFolder = last ? folder : true;
        const size_t place = at->Place(isFolder, name);
        if (place >= at->children.size() || at->children[place]->key != name || (at->children[place]->kind == Node::Folder) != isFolder) {
            if (!make)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = isFolder ? Node::Folder : Node::PassedBy;
            node->key = std::string(name);
            node->path = last ? path : prefix + std::string(relative.substr(0, slash));
            node->parent = at;
            beginInsertRows(IndexOf(at), static_cast<int>(place), static_cast<int>(place));
            at->children.insert(at->children.begin() + static_cast<std::ptrdiff_t>(place), std::move(node));
            endInsertRows();
        }
        at = at->children[place].get();
        if (last)
            return at;
        start = slash + 1;
    }
}

void FolderTreeModel::TakeOut(Node *node)
{
    Add(node, Sums() - node->sums, 1);
    while (node != m_root.get()) {
        Node *parent = node->parent;
        const int row = node->Row();
        beginRemoveRows(IndexOf(parent), row, row);
        parent->children.erase(parent->children.begin() + row);
        endRemoveRows();
        // A folder left empty goes too, unless it has something to say.
        if (parent == m_root.get() || !parent->children.empty() || !parent->note.isEmpty())
            break;
        node = parent;
    }
}

void FolderTreeModel::Add(Node *node, const Sums &sums, int sign)
{
    for (Node *at = node; at; at = at->parent) {
        at->sums.files += sign * sums.files;
        at->sums.unreadable += sign * sums.unreadable;
        at->sums.pages += sign * sums.pages;
        at->sums.errors += sign * sums.errors;
        at->sums.warnings += sign * sums.warnings;
        if (at != m_root.get())
            emit dataChanged(IndexOf(at), IndexOf(at, ColumnCount - 1));
    }
}

std::string FolderTreeModel::FileAt(const QModelIndex &index) const
{
    const Node *node = NodeAt(index);
    return node && node->kind == Node::File ? node->path : std::string();
}

QModelIndex FolderTreeModel::IndexOf(const std::string &path) const
{
    return IndexOf(const_cast<FolderTreeModel *>(this)->Reach(path, false, false));
}

void FolderTreeModel::SetOpenFile(const std::string &path)
{
    if (path == m_openFile)
        return;
    const std::string before = std::exchange(m_openFile, path);
    for (const std::string &changed : {before, path}) {
        if (const QModelIndex index = IndexOf(changed); index.isValid())
            emit dataChanged(index, index.siblingAtColumn(ColumnCount - 1), {Qt::FontRole});
    }
}

const FolderTreeModel::Sums &FolderTreeModel::Total() const
{
    return m_root->sums;
}

QModelIndex FolderTreeModel::IndexOf(const Node *node, int column) const
{
    return node && node != m_root.get() ? createIndex(node->Row(), column, const_cast<Node *>(node)) : QModelIndex();
}

FolderTreeModel::Node *FolderTreeModel::NodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *at = NodeAt(parent);
    if (row < 0 || column < 0 || column >= ColumnCount || static_cast<size_t>(row) >= at->children.size())
        return {};
    return createIndex(row, column, at->children[static_cast<size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    return child.isValid() ? IndexOf(NodeAt(child)->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(NodeAt(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    const Node *node = index.isValid() ? NodeAt(index) : nullptr;
    if (!node)
        return {};
    const bool counted = node->kind == Node::Folder || (node->kind == Node::File && node->note.isEmpty());
    const auto note = [node] {
        if (!node->note.isEmpty() || node->kind != Node::Folder || node->sums.unreadable == 0)
            return node->note;
        return node->sums.unreadable == 1 ? QStringLiteral("1 file cannot be read")
                                          : QStringLiteral("%1 files cannot be read").arg(node->sums.unreadable);
    };
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return FromSystem(node->key);
        case PagesColumn:
            return counted ? QVariant(node->sums.pages) : QVariant();
        case ErrorsColumn:
            return counted ? QVariant(node->sums.errors) : QVariant();
        case WarningsColumn:
            return counted ? QVariant(node->sums.warnings) : QVariant();
        case NoteColumn:
            return note();
        }
        return {};
    case Qt::ToolTipRole:
        return note().isEmpty() ? FromSystem(node->path) : FromSystem(node->path) + QLatin1Char('\n') + note();
    case Qt::TextAlignmentRole:
        return index.column() == NameColumn || index.column() == NoteColumn ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (node->kind == Node::File && node->path == m_openFile) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant FolderTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Name");
    case PagesColumn:
        return QStringLiteral("Pages");
    case ErrorsColumn:
        return QStringLiteral("Errors");
    case WarningsColumn:
        return QStringLiteral("Warnings");
    case NoteColumn:
        return QStringLiteral("Note");
    default:
        return {};
    }
}
