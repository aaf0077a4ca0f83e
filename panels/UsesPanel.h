#pragma once

#include "panels/UsesModel.h"
#include "session/LatestJob.h"

#include "panels/Panel.h"
#include <memory>
#include <string>

class EditingSession;
class GameFolder;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTimer;
class QTreeView;

// Conditions and results: every name that the options' conditions test and
// the results set across the game's folder (the open document as the
// writer has it, the other files as they are on disk), with where each is
// tested and set, and marks for a name set but never tested and one tested
// but never set. The table is built off the user interface thread whenever
// a file changes, while the panel is shown. Activating a use asks the
// window to open its file at its page with its option selected.
class UsesPanel : public Panel {
    Q_OBJECT
public:
    UsesPanel(EditingSession &session, GameFolder &folder, QWidget *parent = nullptr);
    ~UsesPanel() override;

    // The table shows the folder as it stands (nothing is being built or due).
    bool IsUpToDate() const;
    const UsesModel &GetModel() const { return *m_model; }
    // The row of a name or of its use in the view, for tests.
    QModelIndex ViewIndexOf(const std::string &name, int use = -1) const;

    QLineEdit *filterEdit = nullptr;
    QTreeView *nameView = nullptr;
    QLabel *summary = nullptr;

signals:
    // See ConversationsPanel::openRequested.
    void openRequested(const std::string &path, int page, int option);
    void updated();


private:
    void Stale();
    void Build();
    void Show(std::shared_ptr<const UsesModel::Names> names);
    void Activate(const QModelIndex &index);

    EditingSession &m_session;
    GameFolder &m_folder;
    UsesModel *m_model;
    QSortFilterProxyModel *m_filter;
    QTimer *m_settle;
    quint64 m_generation = 0;
    bool m_stale = true;
    LatestJob<std::shared_ptr<const UsesModel::Names>> m_job;
};
