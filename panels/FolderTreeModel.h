#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <string>
#include <vector>

class GameFolder;

// The game's folder as a tree of folders and files: each file with its page
// count and its numbers of errors and warnings, each folder with the sums of
// the files below it; a file that cannot be read, a folder that cannot be
// listed and a name passed by, each with why. It follows the folder's
// changes one entry at a time, so that the view keeps what is open and
// chosen while the files are read.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { NameColumn, PagesColumn, ErrorsColumn, WarningsColumn, NoteColumn, ColumnCount };
    // What a folder, or all of them, holds.
    struct Sums {
        int files = 0;
        int unreadable = 0; // files that cannot be read
        int pages = 0;
        int errors = 0;
        int warnings = 0;
    };

    FolderTreeModel(GameFolder &folder, QObject *parent = nullptr);
    ~FolderTreeModel() override;

    // The file an entry stands for (read or not); empty for a folder or a name passed by.
    std::string FileAt(const QModelIndex &index) const;
    // The entry of a path the folder lists; invalid when there is none.
    QModelIndex IndexOf(const std::string &path) const;
    // The open document's file, shown in bold.
    void SetOpenFile(const std::string &path);
    const Sums &Total() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Node;

    void Reset();
    void FilesChanged(const std::vector<std::string> &paths);
    void Listed();
    // Puts the entry of path as the folder has it, or takes it out.
    void Put(const std::string &path);
    // The node of path, made (with the folders above it) when make says so.
    Node *Reach(const std::string &path, bool folder, bool make);
    void TakeOut(Node *node);
    // Adds sums to node and every folder above it, and says they changed.
    void Add(Node *node, const Sums &sums, int sign);
    QModelIndex IndexOf(const Node *node, int column = 0) const;
    Node *NodeAt(const QModelIndex &index) const;

    GameFolder &m_folder;
    std::unique_ptr<Node> m_root;
    std::string m_openFile;
};
