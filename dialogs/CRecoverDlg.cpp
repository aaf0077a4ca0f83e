#include "dialogs/CRecoverDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CRecoverDlg::CRecoverDlg(const QStringList &rows, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("recoverDialog"));
    setWindowTitle(QStringLiteral("Recover Unsaved Work"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("&Unsaved changes kept from earlier sessions:"), this);
    layout->addWidget(label);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("recoveryList"));
    m_list->setAccessibleName(QStringLiteral("Unsaved changes kept from earlier sessions"));
    m_list->addItems(rows);
    m_list->setCurrentRow(0);
    label->setBuddy(m_list);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    const auto add = [&](const char *name, const QString &text, QDialogButtonBox::ButtonRole role) {
        QPushButton *button = buttons->addButton(text, role);
        button->setObjectName(QLatin1String(name));
        button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        return button;
    };
    QPushButton *restore = add("restoreButton", QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    restore->setDefault(true);
    connect(restore, &QPushButton::clicked, this, [this] { Choose(true); });
    connect(add("discardButton", QStringLiteral("&Discard..."), QDialogButtonBox::DestructiveRole), &QPushButton::clicked, this,
            [this] { Choose(false); });
    connect(add("closeButton", QStringLiteral("Close"), QDialogButtonBox::RejectRole), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Choose(true); });
    layout->addWidget(buttons);
    resize(520, 260);
}

void CRecoverDlg::Choose(bool restore)
{
    m_chosen = m_list->currentRow();
    m_restore = restore;
    if (m_chosen >= 0)
        accept();
}
