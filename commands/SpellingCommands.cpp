#include "commands/SpellingCommands.h"

#include "dialogs/SpellingDialog.h"
#include "ui/SharedDictionary.h"

#include <QWidget>

SpellingCommands::SpellingCommands(QWidget *parent)
    : QObject(parent)
    , m_parent(parent)
{
}

void SpellingCommands::OnSettings()
{
    SharedDictionary &dictionary = SharedDictionary::Instance();
    SpellingDialog dialog(SharedDictionary::Languages(), dictionary.GetLanguage(), dictionary.GetOptions().lowIntelligenceOptions, m_parent);
    if (dialog.exec() == QDialog::Accepted)
        dictionary.SetSettings(dialog.GetLanguage(), dialog.GetLowIntelligenceOptions());
}
