#pragma once

#include "dialogs/ParameterPanel.h"

#include <QDialog>
#include <optional>
#include <string>

class DialogFile;
class DialogLine;
class DocumentSpelling;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class SpellingHighlighter;
class TextGuard;

// "PC Speech Option": what the PC says, to whom and when the option is
// offered, what it sets and where it leads. OK writes every value into the
// option unless the intelligence check makes no sense; a value whose
// controls the user left alone goes back byte for byte as it was read.
// Cancel writes nothing. With spelling, the speech's misspelt words are
// underlined while it is unique speech that spelling reads, as the
// intelligence check stands typed.
class CPcOptionDlg : public QDialog {
    Q_OBJECT
public:
    CPcOptionDlg(DialogLine *option, const DialogFile *file, QWidget *parent = nullptr, DocumentSpelling *spelling = nullptr);

    void OnGeneratedSpeech();
    void OnUniqueSpeech();
    void OnIntelligenceCheck();
    void OnNoIntelligenceCheck();
    void OnOK();

private:
    QString IntelligenceState() const;
    // The intelligence check that OK would store; none when it makes no sense.
    std::optional<std::string> CheckAsTyped() const;
    void UpdateSpelling();

    DialogLine *m_option;
    ParameterPanel m_panel;
    QRadioButton *m_generated;
    QRadioButton *m_unique;
    QPlainTextEdit *m_speech;
    QRadioButton *m_checkOn;
    QComboBox *m_comparison;
    QLineEdit *m_intelligence;
    QRadioButton *m_checkOff;
    QLineEdit *m_conditions;
    QComboBox *m_jumpTo;
    QLineEdit *m_results;
    QPlainTextEdit *m_description;
    QComboBox *m_gender;
    TextGuard *m_guard;
    SpellingHighlighter *m_spelling = nullptr;
    DocumentSpelling *m_documentSpelling;
    // The states of the controls as the option filled them.
    QString m_loadedSpeech;
    QString m_loadedIntelligence;
    int m_loadedGender = 0;
};
