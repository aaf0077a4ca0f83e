#pragma once

#include <QDialog>

// The About box: the icon, the program's name and version, and a credit.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
