#pragma once

#include <QDockWidget>

class QLineEdit;
class QVBoxLayout;

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
    // The panel's body, its widget, laid out from top to bottom.
    QVBoxLayout *CreateBody();
    // A "Filter:" row on the body; the box takes no Alt key (the window's
    // menus and page have them all) and is read by its accessible name.
    QLineEdit *AddFilter(QVBoxLayout *body, const QString &objectName, const QString &accessibleName, const QString &placeholder);

    void keyPressEvent(QKeyEvent *event) override;
};
