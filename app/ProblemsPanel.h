#pragma once

#include <QDockWidget>
#include <memory>

class DialogFile;
class DialogLine;
class EditingSession;
class ProblemListModel;
class QTreeView;
template <typename T>
class QFutureWatcher;
struct ProblemsResult;

// The problems of the open document, as dlgtool check finds them, kept up
// to date as the writer edits: the checks run on a copy of the document off
// the user interface thread, and a result that a later edit made stale is
// dropped. The title counts the errors and warnings. Activating an entry
// asks to show its page, with its option selected.
class ProblemsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit ProblemsPanel(EditingSession &session, QWidget *parent = nullptr);
    ~ProblemsPanel() override;

    // The list shows the document as it stands (no check is under way or due).
    bool IsUpToDate() const;
    const ProblemListModel &GetModel() const { return *m_model; }

    QTreeView *problemView = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

signals:
    void problemActivated(DialogLine *page, DialogLine *option);
    void updated();

private:
    void Check(std::shared_ptr<const DialogFile> document, quint64 generation);
    void Show();

    EditingSession &m_session;
    ProblemListModel *m_model;
    QFutureWatcher<std::shared_ptr<ProblemsResult>> *m_watcher;
    std::shared_ptr<const DialogFile> m_pending; // a copy waiting for the running check to end
    quint64 m_pendingGeneration = 0;
    quint64 m_shownGeneration = 0;
};
