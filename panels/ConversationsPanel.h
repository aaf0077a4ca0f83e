#pragma once

#include "panels/Panel.h"
#include <string>

class EditingSession;
class FolderTreeModel;
class GameFolder;
class QLabel;
class QLineEdit;
class QModelIndex;
class QSortFilterProxyModel;
class QTreeView;

// The game's conversations: the .dlg files below the game's folder as a
// tree, each with its pages, errors and warnings, filled in the background
// and kept fresh as files change, narrowed by a filter on their names.
// Activating a file asks the window to open it (as Open does, the save
// question first). The folder is read once the panel is first shown.
class ConversationsPanel : public Panel {
    Q_OBJECT
public:
    ConversationsPanel(EditingSession &session, GameFolder &folder, QWidget *parent = nullptr);

    const FolderTreeModel &GetModel() const { return *m_model; }
    // The entry of a file in the view, for tests; invalid when it is not listed.
    QModelIndex ViewIndexOf(const std::string &path) const;

    QLineEdit *filterEdit = nullptr;
    QTreeView *fileView = nullptr;
    QLabel *summary = nullptr;

signals:
    // The window opens the file at path, and shows the page at that index
    // (with the option at that index selected) when they are not -1.
    void openRequested(const std::string &path, int page, int option);


private:
    void Activate(const QModelIndex &index);
    QModelIndex FirstFile(const QModelIndex &parent) const;
    void ShowSummary();
    void MarkOpenFile();

    EditingSession &m_session;
    GameFolder &m_folder;
    FolderTreeModel *m_model;
    QSortFilterProxyModel *m_filter;
};
