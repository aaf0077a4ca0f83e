#pragma once

#include <QDockWidget>

// A dock of the window: Enter in it has done the panel's own work (the
// next match, the page shown, the finding chosen) and goes no further, so
// it never reaches the page's "Enter saves".
class Panel : public QDockWidget {
    Q_OBJECT
public:
    explicit Panel(const QString &title, QWidget *parent = nullptr)
        : QDockWidget(title, parent)
    {
    }

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
