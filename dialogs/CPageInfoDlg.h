#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class TextGuard;

// "Change page info": a page's name and description. The dialog edits two
// texts; the caller stores them into the page after OK.
class CPageInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPageInfoDlg(QWidget *parent = nullptr);

    // The texts, as bytes of the file: set before exec, read after OK.
    std::string m_description;
    std::string m_name;

    int exec() override;
    void OnOK();

private:
    QLineEdit *m_nameEdit;
    QPlainTextEdit *m_descriptionEdit;
    TextGuard *m_guard;
};
