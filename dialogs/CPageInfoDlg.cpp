#include "dialogs/CPageInfoDlg.h"

#include "dialogs/DialogTemplate.h"
#include "dialogs/TextGuard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

CPageInfoDlg::CPageInfoDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Change page info"));
    DialogTemplate t(this, 173, 108);
    m_nameEdit = t.Edit(1022, "name", 7, 20, 159, 12);
    m_descriptionEdit = t.MultiLineEdit(1061, "description", 7, 49, 159, 31);
    QPushButton *ok = t.Button(1, "ok", QStringLiteral("Change"), 59, 87, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = t.Button(2, "cancel", QStringLiteral("Cancel"), 116, 87, 50, 14);
    t.Label(-1, "", QStringLiteral("&Name:"), 7, 7, 24, 12)->setBuddy(m_nameEdit);
    t.Label(-1, "", QStringLiteral("&Description:"), 7, 38, 38, 8)->setBuddy(m_descriptionEdit);

    // A name or description cannot hold a line break, and a description
    // cannot name a page; blanks at either end go, as reading would drop them.
    m_guard = new TextGuard(t.NoteLine(), this);
    m_guard->Guard(m_nameEdit, TextRules::Place::Label);
    m_guard->Guard(m_descriptionEdit, TextRules::Place::Description);
    connect(ok, &QPushButton::clicked, this, &CPageInfoDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_guard, &TextGuard::enterPressed, this, &CPageInfoDlg::OnOK);
}

int CPageInfoDlg::exec()
{
    m_guard->Load(m_nameEdit, m_name);
    m_nameEdit->selectAll();
    m_guard->Load(m_descriptionEdit, m_description);
    m_descriptionEdit->selectAll();
    m_nameEdit->setFocus();
    return QDialog::exec();
}

void CPageInfoDlg::OnOK()
{
    if (!m_guard->CheckAll().isEmpty())
        return;
    const std::string name = m_guard->BytesOf(m_nameEdit);
    // A page without a name would be saved as one and read back named by its number.
    if (name.empty()) {
        m_nameEdit->setFocus();
        m_guard->ShowNote(QStringLiteral("A page needs a name: without one it would be read back named by its number."));
        return;
    }
    m_name = name;
    m_description = m_guard->BytesOf(m_descriptionEdit);
    accept();
}
