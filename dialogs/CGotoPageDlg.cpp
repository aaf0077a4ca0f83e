#include "dialogs/CGotoPageDlg.h"

#include "dialogs/DialogTemplate.h"
#include "ui/AnsiText.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int kPageRole = Qt::UserRole;
}

CGotoPageDlg::CGotoPageDlg(const DialogFile *file, DialogLine *&current, QWidget *parent)
    : QDialog(parent)
    , m_current(current)
{
    setWindowTitle(QStringLiteral("Go to..."));
    DialogTemplate t(this, 186, 97);
    m_pageList = new QListWidget(this);
    m_pageList->setObjectName(QStringLiteral("pageList"));
    m_pageList->setGeometry(t.Units().Rect(7, 7, 112, 83));
    m_pageList->setSelectionMode(QAbstractItemView::SingleSelection);
    QPushButton *ok = t.Button(1, "ok", QStringLiteral("Go to"), 129, 7, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = t.Button(2, "cancel", QStringLiteral("Cancel"), 129, 24, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CGotoPageDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pageList, &QListWidget::itemDoubleClicked, this, &CGotoPageDlg::OnGoToDblClk);

    // Pages are told apart by the page each line carries, never by its name.
    for (int i = 0; file && i < file->GetPageCount(); ++i) {
        DialogLine *page = file->GetPage(i);
        auto *item = new QListWidgetItem(AnsiText::ToDisplay(page->GetLabel()), m_pageList);
        item->setData(kPageRole, QVariant::fromValue(reinterpret_cast<quintptr>(page)));
        if (page == m_current) {
            m_pageList->setCurrentItem(item);
            m_pageList->scrollToItem(item);
        }
    }
    m_pageList->setFocus();
}

void CGotoPageDlg::OnOK()
{
    const QList<QListWidgetItem *> selected = m_pageList->selectedItems();
    if (!selected.isEmpty()) {
        if (auto *page = reinterpret_cast<DialogLine *>(selected.constFirst()->data(kPageRole).value<quintptr>()))
            m_current = page;
    }
    accept();
}

void CGotoPageDlg::OnGoToDblClk()
{
    if (!m_pageList->selectedItems().isEmpty())
        OnOK();
}
