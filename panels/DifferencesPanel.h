#pragma once

#include "panels/Panel.h"
#include "session/LatestJob.h"

#include <QString>
#include <memory>

class DialogFile;
class DifferenceModel;
class EditingSession;
class QTreeView;
struct DifferencesResult;

// The differences between the open document and another version of it (a
// file, or the document's own file as last saved), page by page, as dlgtool
// diff says them, the words that changed marked. They are worked out on a
// copy of the document off the user interface thread, again after every
// edit, undo and redo, so that the list follows the document; opening
// another document ends the comparison. Activating an entry shows its page,
// with its option selected.
class DifferencesPanel : public Panel {
    Q_OBJECT
public:
    explicit DifferencesPanel(EditingSession &session, QWidget *parent = nullptr);
    ~DifferencesPanel() override;

    // From now on the document is compared with other, shown as name.
    void CompareWith(std::shared_ptr<const DialogFile> other, const QString &name);
    // The list shows the document as it stands (no comparison is under way or due).
    bool IsUpToDate() const;
    const DifferenceModel &GetModel() const { return *m_model; }

    QTreeView *differenceView = nullptr;

signals:
    void updated();

private:
    void Compare(std::shared_ptr<const DialogFile> document, quint64 generation);
    void Show(std::shared_ptr<DifferencesResult> result);
    void Activate(const QModelIndex &index);
    void EndComparison();

    EditingSession &m_session;
    DifferenceModel *m_model;
    std::shared_ptr<const DialogFile> m_other;
    QString m_otherName;
    LatestJob<std::shared_ptr<DifferencesResult>> m_job;
};
