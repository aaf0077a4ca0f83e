#pragma once

#include "rules/Finding.h"
#include "session/LatestJob.h"

#include "panels/Panel.h"
#include <memory>
#include <vector>

class DialogFile;
class DocumentSpelling;
class EditingSession;
class ProblemListModel;
class QToolButton;
class QTreeView;
struct ProblemsResult;

// The problems of the open document, as dlgtool check finds them, kept up
// to date as the writer edits: the checks run on a copy of the document off
// the user interface thread, and a result that a later edit made stale is
// dropped. The switch above the list adds the misspelt words (as dlgtool
// spell finds them, with the document's known words), spelt off the user
// interface thread too; it is remembered. The title counts the errors and
// warnings, and the misspelt words while they are shown. Activating an
// entry shows its page, with its option selected.
class ProblemsPanel : public Panel {
    Q_OBJECT
public:
    explicit ProblemsPanel(EditingSession &session, QWidget *parent = nullptr);
    ~ProblemsPanel() override;

    // The list shows the document as it stands (no check is under way or due).
    bool IsUpToDate() const;
    const ProblemListModel &GetModel() const { return *m_model; }
    // Shows the misspelt words, or not.
    void ShowSpelling(bool on);

    QToolButton *spellingSwitch = nullptr;
    QTreeView *problemView = nullptr;

signals:
    void updated();


private:
    void Check(std::shared_ptr<const DialogFile> document, quint64 generation);
    void Spell();
    void Show(std::shared_ptr<ProblemsResult> result);
    void ShowSpelt(std::shared_ptr<ProblemsResult> result);
    void ShowAll();

    EditingSession &m_session;
    DocumentSpelling &m_spelling;
    ProblemListModel *m_model;
    std::vector<Finding> m_checked; // what the checks found in the latest copy
    std::vector<Finding> m_spelt;   // the misspelt words, while shown
    quint64 m_spellingRequests = 0;
    quint64 m_speltVersion = 0; // the spelling's version the words shown are of
    bool m_spellingListed = false; // the title counts the misspelt words
    LatestJob<std::shared_ptr<ProblemsResult>> m_job;
    LatestJob<std::shared_ptr<ProblemsResult>> m_spellingJob;
};
