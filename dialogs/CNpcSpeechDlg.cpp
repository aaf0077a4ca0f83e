#include "dialogs/CNpcSpeechDlg.h"

#include "dialogs/DialogTemplate.h"
#include "dialogs/RadioGroup.h"
#include "dialogs/SpellingHighlighter.h"
#include "dialogs/TextGuard.h"
#include "model/DialogLine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

namespace {
// The kinds that NPCs speak.
constexpr int kNpcKinds[] = {20, 21, 22, 23};
} // namespace

CNpcSpeechDlg::CNpcSpeechDlg(DialogLine *page, const DialogFile *file, QWidget *parent, DocumentSpelling *spelling)
    : QDialog(parent)
    , m_page(page)
{
    setWindowTitle(QStringLiteral("Edit NPC Speech"));
    DialogTemplate t(this, 259, 308);
    m_maleGenerated = t.Radio(1052, "maleGenerated", QStringLiteral("&Generated speech"), 16, 18, 97, 12);
    m_male.kindList = t.Combo(1053, "maleKind", 27, 31, 100, 70);
    m_male.moneyField = t.DigitsEdit(1057, "maleMoney", 207, 35, 36, 13);
    m_male.listField = t.Edit(1058, "maleList", 201, 50, 42, 13);
    m_male.numberField = t.DigitsEdit(1059, "maleNumber", 219, 65, 23, 13);
    m_male.pageList = t.Combo(1060, "malePage", 153, 81, 88, 52);
    m_maleUnique = t.Radio(1056, "maleUnique", QStringLiteral("&Unique speech"), 16, 85, 89, 12);
    m_maleText = t.MultiLineEdit(1025, "maleText", 16, 98, 228, 30);
    m_different = t.CheckBox(1026, "different", QStringLiteral("&Display different speech to female PCs"), 7, 138, 143, 12);
    m_femaleGenerated = t.Radio(1049, "femaleGenerated", QStringLiteral("Ge&nerated speech"), 16, 163, 97, 12);
    m_female.kindList = t.Combo(1051, "femaleKind", 28, 176, 100, 70);
    m_female.moneyField = t.DigitsEdit(1045, "femaleMoney", 208, 180, 36, 13);
    m_female.listField = t.Edit(1046, "femaleList", 202, 195, 42, 13);
    m_female.numberField = t.DigitsEdit(1037, "femaleNumber", 220, 210, 23, 13);
    m_female.pageList = t.Combo(1020, "femalePage", 154, 226, 88, 52);
    m_femaleUnique = t.Radio(1050, "femaleUnique", QStringLiteral("Un&ique speech"), 16, 230, 89, 12);
    m_femaleText = t.MultiLineEdit(1029, "femaleText", 16, 243, 228, 30);
    QPushButton *ok = t.Button(1, "ok", QStringLiteral("OK"), 146, 287, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = t.Button(2, "cancel", QStringLiteral("Cancel"), 202, 287, 50, 14);
    t.Group(QStringLiteral("Male dialog"), 7, 7, 245, 129);
    t.Group(QStringLiteral("Female dialog"), 7, 152, 245, 129);
    m_male.firstPrompt = t.Label(1054, "maleFirstPrompt", QStringLiteral("Gen1"), 29, 50, 22, 10);
    m_male.secondPrompt = t.Label(1055, "maleSecondPrompt", QStringLiteral("Gen2"), 29, 69, 22, 10);
    m_female.firstPrompt = t.Label(1047, "femaleFirstPrompt", QStringLiteral("Gen1"), 30, 195, 22, 10);
    m_female.secondPrompt = t.Label(1048, "femaleSecondPrompt", QStringLiteral("Gen2"), 30, 214, 22, 10);

    m_guard = new TextGuard(t.NoteLine(), this);
    for (QPlainTextEdit *text : {m_maleText, m_femaleText})
        m_guard->Guard(text, TextRules::Place::Field);
    for (QLineEdit *list : {m_male.listField, m_female.listField})
        m_guard->Guard(list, TextRules::Place::Field);

    connect(m_maleGenerated, &QRadioButton::clicked, this, &CNpcSpeechDlg::OnMaleGeneratedSpeech);
    connect(m_maleUnique, &QRadioButton::clicked, this, &CNpcSpeechDlg::OnMaleUniqueSpeech);
    connect(m_femaleGenerated, &QRadioButton::clicked, this, &CNpcSpeechDlg::OnFemaleGeneratedSpeech);
    connect(m_femaleUnique, &QRadioButton::clicked, this, &CNpcSpeechDlg::OnFemaleUniqueSpeech);
    connect(m_different, &QCheckBox::clicked, this, &CNpcSpeechDlg::OnDifferentFemaleSpeech);
    connect(ok, &QPushButton::clicked, this, &CNpcSpeechDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_guard, &TextGuard::enterPressed, this, &CNpcSpeechDlg::OnOK);

    // Everything comes from the page as it stands.
    const SpeechText &male = m_page->GetSpeechCode();
    m_male.Load(male, kNpcKinds, file);
    m_guard->Load(m_male.listField, male.l);
    if (male.kind != 0)
        OnMaleGeneratedSpeech();
    else
        OnMaleUniqueSpeech();
    const SpeechText &female = m_page->GetFemaleSpeechCode();
    m_female.Load(female, kNpcKinds, file);
    m_guard->Load(m_female.listField, female.l);
    if (female.kind != 0)
        OnFemaleGeneratedSpeech();
    else
        OnFemaleUniqueSpeech();
    m_different->setChecked(!m_page->IsSameSpeechForBoth());
    UpdateFemaleSection();
    m_guard->Load(m_maleText, m_page->GetSpeech());
    m_guard->Load(m_femaleText, m_page->GetFemaleSpeech());
    connect(m_male.kindList, &QComboBox::currentIndexChanged, this, [this] { m_male.ShowParameterPrompts(); });
    connect(m_female.kindList, &QComboBox::currentIndexChanged, this, [this] { m_female.ShowParameterPrompts(); });
    // Tab reads the dialog top to bottom; each pair of radio buttons is one stop.
    new RadioGroup({m_maleGenerated, m_maleUnique}, this);
    new RadioGroup({m_femaleGenerated, m_femaleUnique}, this);
    QWidget *order[] = {m_maleGenerated, m_maleUnique, m_male.kindList, m_male.moneyField, m_male.listField, m_male.numberField,
                        m_male.pageList, m_maleText, m_different, m_femaleGenerated, m_femaleUnique, m_female.kindList,
                        m_female.moneyField, m_female.listField, m_female.numberField, m_female.pageList, m_femaleText, ok, cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_maleText->setAccessibleName(QStringLiteral("Speech to male PCs"));
    m_femaleText->setAccessibleName(QStringLiteral("Speech to female PCs"));
    // Unique speech opens selected, so that typing replaces it, as in
    // every other field; generated speech opens at its kind.
    if (m_maleUnique->isChecked()) {
        m_maleText->setFocus();
        m_maleText->selectAll();
    } else {
        m_male.kindList->setFocus();
    }
    m_loadedMale = m_male.State(m_maleGenerated->isChecked(), m_maleText->toPlainText());
    m_loadedFemale = m_female.State(m_femaleGenerated->isChecked(), m_femaleText->toPlainText());
    if (spelling) {
        m_maleSpelling = new SpellingHighlighter(m_maleText, *spelling);
        m_femaleSpelling = new SpellingHighlighter(m_femaleText, *spelling);
        UpdateSpelling();
    }
}

// Only unique speech is words; generated speech is a code.
void CNpcSpeechDlg::UpdateSpelling()
{
    if (!m_maleSpelling)
        return;
    m_maleSpelling->SetActive(m_maleUnique->isChecked());
    m_femaleSpelling->SetActive(m_different->isChecked() && m_femaleUnique->isChecked());
}

// A section whose controls the user left alone leaves speech and page as
// they were read.
void CNpcSpeechDlg::ReadSection(const ParameterPanel &panel, const QRadioButton *generated, const QPlainTextEdit *text,
                                const QString &loaded, std::string &speech, const DialogLine *&page) const
{
    if (panel.State(generated->isChecked(), text->toPlainText()) == loaded)
        return;
    speech = generated->isChecked() ? panel.ReadBack() : m_guard->BytesOf(text);
    page = generated->isChecked() ? panel.ReadBackPage() : nullptr;
}



void CNpcSpeechDlg::OnMaleGeneratedSpeech()
{
    m_maleText->setEnabled(false);
    m_male.kindList->setEnabled(true);
    m_male.ShowParameterPrompts();
    m_maleGenerated->setChecked(true);
    m_maleUnique->setChecked(false);
    UpdateSpelling();
}

void CNpcSpeechDlg::OnMaleUniqueSpeech()
{
    m_maleText->setEnabled(true);
    m_male.kindList->setEnabled(false);
    m_maleGenerated->setChecked(false);
    m_maleUnique->setChecked(true);
    m_male.HideParameterControls();
    UpdateSpelling();
}

void CNpcSpeechDlg::OnFemaleGeneratedSpeech()
{
    m_femaleText->setEnabled(false);
    m_female.kindList->setEnabled(true);
    m_femaleGenerated->setChecked(true);
    m_femaleUnique->setChecked(false);
    m_female.ShowParameterPrompts();
    UpdateSpelling();
}

void CNpcSpeechDlg::OnFemaleUniqueSpeech()
{
    m_femaleText->setEnabled(true);
    m_female.kindList->setEnabled(false);
    m_femaleGenerated->setChecked(false);
    m_femaleUnique->setChecked(true);
    m_female.HideParameterControls();
    UpdateSpelling();
}

void CNpcSpeechDlg::OnDifferentFemaleSpeech()
{
    UpdateFemaleSection();
}

// The female section is there only for a different speech; switched off,
// it keeps its contents.
void CNpcSpeechDlg::UpdateFemaleSection()
{
    const bool on = m_different->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *>{m_female.pageList, m_female.firstPrompt, m_female.secondPrompt,
                                                             m_female.moneyField, m_female.numberField, m_female.listField,
                                                             m_femaleGenerated, m_femaleUnique})
        control->setEnabled(on);
    const bool unique = m_femaleUnique->isChecked();
    m_female.kindList->setEnabled(on && !unique);
    m_femaleText->setEnabled(on && unique);
    UpdateSpelling();
}

void CNpcSpeechDlg::OnOK()
{
    if (const QString problem = m_guard->CheckAll(); !problem.isEmpty())
        return;
    std::string male = m_page->GetSpeech();
    const DialogLine *malePage = m_page->GetSpeechCode().g;
    ReadSection(m_male, m_maleGenerated, m_maleText, m_loadedMale, male, malePage);
    std::string female = m_page->GetFemaleSpeech();
    const DialogLine *femalePage = m_page->GetFemaleSpeechCode().g;
    ReadSection(m_female, m_femaleGenerated, m_femaleText, m_loadedFemale, female, femalePage);
    m_page->SetSpeech(male);
    m_page->SetSpeechPage(malePage);
    if (m_different->isChecked()) {
        m_page->ClearSameSpeechForBoth();
        m_page->SetFemaleSpeech(female);
        m_page->SetFemaleSpeechPage(femalePage);
    } else {
        m_page->SetSameSpeechForBoth();
        m_page->SetFemaleSpeech(male);
        m_page->SetFemaleSpeechPage(malePage);
    }
    accept();
}
