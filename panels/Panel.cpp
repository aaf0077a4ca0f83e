#include "panels/Panel.h"

#include <QKeyEvent>

void Panel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}
