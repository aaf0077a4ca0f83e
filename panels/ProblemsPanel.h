#pragma once

#include "session/LatestJob.h"

#include "panels/Panel.h"
#include <memory>

class DialogFile;
class EditingSession;
class ProblemListModel;
class QTreeView;
struct ProblemsResult;

// The problems of the open document, as dlgtool check finds them, kept up
// to date as the writer edits: the checks run on a copy of the document off
// the user interface thread, and a result that a later edit made stale is
// dropped. The title counts the errors and warnings. Activating an entry
// shows its page, with its option selected.
class ProblemsPanel : public Panel {
    Q_OBJECT
public:
    explicit ProblemsPanel(EditingSession &session, QWidget *parent = nullptr);
    ~ProblemsPanel() override;

    // The list shows the document as it stands (no check is under way or due).
    bool IsUpToDate() const;
    const ProblemListModel &GetModel() const { return *m_model; }

    QTreeView *problemView = nullptr;

signals:
    void updated();


private:
    void Check(std::shared_ptr<const DialogFile> document, quint64 generation);
    void Show(std::shared_ptr<ProblemsResult> result);

    EditingSession &m_session;
    ProblemListModel *m_model;
    LatestJob<std::shared_ptr<ProblemsResult>> m_job;
};
