#pragma once

#include <QDialog>

class DialogFile;
class DialogLine;
class QListWidget;

// "Go to...": every page of the file by name; OK makes the chosen page the
// one on display.
class CGotoPageDlg : public QDialog {
    Q_OBJECT
public:
    // current is the page on display; OK sets it to the chosen page.
    CGotoPageDlg(const DialogFile *file, DialogLine *&current, QWidget *parent = nullptr);

    void OnOK();
    void OnGoToDblClk();

private:
    DialogLine *&m_current;
    QListWidget *m_pageList;
};
