#pragma once

#include <QObject>
#include <QList>

class QRadioButton;

// Radio buttons that choose one of a few ways, as one stop of the Tab
// order: Tab reaches the one that is checked (the first, when none is),
// and the arrow keys move to the next or previous one that is enabled and
// choose it, as a click does. The buttons' own handlers keep them
// exclusive; this only follows their states.
class RadioGroup : public QObject {
    Q_OBJECT
public:
    RadioGroup(QList<QRadioButton *> buttons, QObject *parent);

    // The button that Tab reaches.
    QRadioButton *GetStop() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Update();

    QList<QRadioButton *> m_buttons;
};
