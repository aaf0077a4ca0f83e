#include "panels/Panel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

QVBoxLayout *Panel::CreateBody()
{
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    setWidget(body);
    return layout;
}

QLineEdit *Panel::AddFilter(QVBoxLayout *body, const QString &objectName, const QString &accessibleName, const QString &placeholder)
{
    QWidget *parent = body->parentWidget();
    auto *label = new QLabel(QStringLiteral("Filter:"), parent);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->setPlaceholderText(placeholder);
    edit->setClearButtonEnabled(true);
    label->setBuddy(edit);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit);
    body->addLayout(row);
    return edit;
}

void Panel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}
