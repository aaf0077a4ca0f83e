#pragma once

#include <QObject>

class QWidget;

// Tools > Spelling...: the dictionary's language and whether options for
// PCs of low intelligence are spelt, kept in the user's settings; every
// underline and the problems panel follow the choice at once.
class SpellingCommands : public QObject {
    Q_OBJECT
public:
    explicit SpellingCommands(QWidget *parent);

    void OnSettings();

private:
    QWidget *m_parent;
};
