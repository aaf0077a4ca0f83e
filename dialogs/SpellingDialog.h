#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;

// "Spelling": the dictionary's language, from those installed, and whether
// the options shown only to PCs of low intelligence are spelt too (their
// speech is misspelt on purpose, so they are not by default). The caller
// keeps the choice after OK.
class SpellingDialog : public QDialog {
    Q_OBJECT
public:
    // installed: the languages there are dictionaries for; language, the
    // one chosen, is offered even when it has none.
    SpellingDialog(const QStringList &installed, const QString &language, bool lowIntelligenceOptions, QWidget *parent = nullptr);

    QString GetLanguage() const;
    bool GetLowIntelligenceOptions() const;

private:
    QComboBox *m_language;
    QCheckBox *m_lowIntelligence;
};
