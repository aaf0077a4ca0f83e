#pragma once

#include <QString>
#include <span>
#include <string>

class DialogFile;
class DialogLine;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
struct SpeechText;

// The controls of a speech dialog that choose a generated-speech kind and
// fill its parameters. The panel owns none of them; the dialog does.
class ParameterPanel {
public:
    QComboBox *kindList = nullptr;
    QLabel *firstPrompt = nullptr;
    QLabel *secondPrompt = nullptr;
    QLineEdit *moneyField = nullptr;  // m
    QLineEdit *listField = nullptr;   // l
    QLineEdit *numberField = nullptr; // n
    QComboBox *pageList = nullptr;    // the page of Request money

    // Shows the prompts and fields of the kind selected in the kind list.
    void ShowParameterPrompts() const;
    void HideParameterControls() const;
    // Shows a prompt level with its control, ending just left of it.
    static void PlacePrompt(QLabel *label, const QString &text, QWidget *control);
    // "Exit" (no page) and then every page of file; preselects page. A code
    // may name a page number that no page has: without a page, a non-zero
    // missingNumber is an entry of its own, preselected, so that it is kept.
    static void FillPageCombo(QComboBox *pageList, const DialogFile *file, const DialogLine *page, int missingNumber = 0);
    static DialogLine *SelectedPage(const QComboBox *pageList);

    // Fills the fields from a decoded speech and the kind list with the
    // offered kinds, sorted, and the record's own kind (shown even where it
    // is not offered, so that it is kept), selected.
    void Load(const SpeechText &record, std::span<const int> offeredKinds, const DialogFile *file) const;
    // The code that the panel describes; empty when no kind is selected.
    std::string ReadBack() const;
    // The page of a Request money code read back, else null.
    const DialogLine *ReadBackPage() const;
    // The state of a speech section, to tell whether the user changed it:
    // the panel's controls for generated speech, else the unique text.
    QString State(bool generated, const QString &uniqueText) const;
};
