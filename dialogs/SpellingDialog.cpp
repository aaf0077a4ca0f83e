#include "dialogs/SpellingDialog.h"

#include "dialogs/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

SpellingDialog::SpellingDialog(const QStringList &installed, const QString &language, bool lowIntelligenceOptions, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Spelling"));
    DialogTemplate t(this, 220, 76);
    m_language = t.Combo(-1, "language", 80, 7, 133, 80);
    m_lowIntelligence = t.CheckBox(-1, "lowIntelligence", QStringLiteral("Also spell options shown only to PCs of low &intelligence"), 7, 26, 206, 12);
    QLabel *about = t.Label(-1, "dictionaries", QString(), 7, 40, 206, 16);
    about->setWordWrap(true);
    QPushButton *ok = t.Button(1, "ok", QStringLiteral("OK"), 107, 58, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = t.Button(2, "cancel", QStringLiteral("Cancel"), 163, 58, 50, 14);
    t.Label(-1, "", QStringLiteral("Dictionary &language:"), 7, 9, 70, 8)->setBuddy(m_language);

    for (const QString &name : installed)
        m_language->addItem(name, name);
    if (!installed.contains(language))
        m_language->insertItem(0, QStringLiteral("%1 (not installed)").arg(language), language);
    m_language->setCurrentIndex(m_language->findData(language));
    m_lowIntelligence->setChecked(lowIntelligenceOptions);
    about->setText(installed.isEmpty() ? QStringLiteral("No dictionary is installed: the package hunspell-en-us provides en_US.")
                                       : QStringLiteral("The dictionaries are Hunspell's, as the hunspell-* packages install them."));

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_language->setFocus();
}

QString SpellingDialog::GetLanguage() const
{
    return m_language->currentData().toString();
}

bool SpellingDialog::GetLowIntelligenceOptions() const
{
    return m_lowIntelligence->isChecked();
}
