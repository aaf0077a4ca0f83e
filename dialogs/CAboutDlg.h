#pragma once

#include <QDialog>

// The About box: the icon, the program's version, a credit and a contact line.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
