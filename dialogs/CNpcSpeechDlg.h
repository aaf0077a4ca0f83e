#pragma once

#include "dialogs/ParameterPanel.h"

#include <QDialog>
#include <string>

class DialogFile;
class DialogLine;
class DocumentSpelling;
class QCheckBox;
class QPlainTextEdit;
class QRadioButton;
class SpellingHighlighter;
class TextGuard;

// "Edit NPC Speech": what the NPC says on a page, to male PCs and, when it
// differs, to female PCs; each unique text or generated speech. OK writes
// both speeches and the same-speech flag into the page, a speech whose
// controls the user left alone byte for byte as it was read; Cancel writes
// nothing. With spelling, the misspelt words of each unique speech are
// underlined.
class CNpcSpeechDlg : public QDialog {
    Q_OBJECT
public:
    CNpcSpeechDlg(DialogLine *page, const DialogFile *file, QWidget *parent = nullptr, DocumentSpelling *spelling = nullptr);

    void OnMaleGeneratedSpeech();
    void OnMaleUniqueSpeech();
    void OnFemaleGeneratedSpeech();
    void OnFemaleUniqueSpeech();
    void OnDifferentFemaleSpeech();
    void UpdateFemaleSection();
    void OnOK();

private:
    void ReadSection(const ParameterPanel &panel, const QRadioButton *generated, const QPlainTextEdit *text, const QString &loaded,
                     std::string &speech, const DialogLine *&page) const;
    void UpdateSpelling();

    DialogLine *m_page;
    ParameterPanel m_male;
    ParameterPanel m_female;
    QRadioButton *m_maleGenerated;
    QRadioButton *m_maleUnique;
    QRadioButton *m_femaleGenerated;
    QRadioButton *m_femaleUnique;
    QPlainTextEdit *m_maleText;
    QPlainTextEdit *m_femaleText;
    QCheckBox *m_different;
    TextGuard *m_guard;
    SpellingHighlighter *m_maleSpelling = nullptr;
    SpellingHighlighter *m_femaleSpelling = nullptr;
    // The states of the controls as the page filled them.
    QString m_loadedMale;
    QString m_loadedFemale;
};
