#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// File > Recover unsaved work...: the recovery files that no window keeps,
// one a line with its date; the one chosen is restored or discarded.
class CRecoverDlg : public QDialog {
    Q_OBJECT
public:
    CRecoverDlg(const QStringList &rows, QWidget *parent = nullptr);

    // The row chosen; -1 with none.
    int GetChosen() const { return m_chosen; }
    bool IsRestore() const { return m_restore; }

private:
    void Choose(bool restore);

    QListWidget *m_list = nullptr;
    int m_chosen = -1;
    bool m_restore = false;
};
