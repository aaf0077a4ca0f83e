#include "dialogs/CPcOptionDlg.h"

#include "dialogs/DialogTemplate.h"
#include "dialogs/RadioGroup.h"
#include "dialogs/SpellingHighlighter.h"
#include "dialogs/TextGuard.h"
#include "ui/AnsiText.h"
#include "model/DialogLine.h"
#include "rules/GenderCheck.h"
#include "rules/IntelligenceCheck.h"
#include "session/DocumentSpelling.h"
#include "words/SpellingCheck.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>
#include <optional>

namespace {

// Every kind but the two that only NPCs speak (Greeting, Request money).
constexpr int kPcKinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 22, 23};

} // namespace

CPcOptionDlg::CPcOptionDlg(DialogLine *option, const DialogFile *file, QWidget *parent, DocumentSpelling *spelling)
    : QDialog(parent)
    , m_option(option)
    , m_documentSpelling(spelling)
{
    setWindowTitle(QStringLiteral("PC Speech Option"));
    DialogTemplate t(this, 372, 242);
    m_generated = t.Radio(1039, "generated", QStringLiteral("&Generated speech"), 14, 18, 97, 12);
    m_panel.kindList = t.Combo(1038, "kind", 26, 31, 100, 70);
    m_panel.moneyField = t.DigitsEdit(1041, "money", 204, 16, 36, 13);
    m_panel.listField = t.Edit(1042, "list", 198, 31, 42, 13);
    m_panel.numberField = t.DigitsEdit(1036, "number", 216, 46, 23, 13);
    m_unique = t.Radio(1040, "unique", QStringLiteral("&Unique speech"), 13, 90, 89, 12);
    m_speech = t.MultiLineEdit(1015, "speech", 15, 103, 223, 37);
    m_checkOn = t.Radio(1029, "checkOn", QStringLiteral("Only display if &intelligence is"), 11, 163, 101, 14);
    m_comparison = t.Combo(1031, "comparison", 115, 164, 66, 48);
    m_intelligence = t.DigitsEdit(1032, "intelligence", 185, 165, 19, 13);
    m_checkOff = t.Radio(1030, "checkOff", QStringLiteral("Display &regardless of intelligence"), 11, 179, 118, 14);
    m_conditions = t.Edit(1020, "conditions", 258, 30, 100, 14);
    m_jumpTo = t.Combo(1018, "jumpTo", 258, 86, 100, 52);
    m_results = t.Edit(1021, "results", 258, 117, 100, 14);
    QPushButton *ok = t.Button(1, "ok", QStringLiteral("OK"), 257, 219, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = t.Button(2, "cancel", QStringLiteral("Cancel"), 315, 219, 50, 14);
    t.Label(-1, "", QStringLiteral("Dialog page to &jump to:"), 258, 74, 74, 8)->setBuddy(m_jumpTo);
    t.Label(-1, "", QStringLiteral("E&xtra conditional requirements:"), 258, 18, 97, 8)->setBuddy(m_conditions);
    t.Label(-1, "", QStringLiteral("Results to &set:"), 258, 105, 46, 8)->setBuddy(m_results);
    t.Group(QStringLiteral("Intelligence check"), 7, 152, 204, 48);
    t.Group(QStringLiteral("Speech text"), 7, 7, 240, 140);
    m_panel.firstPrompt = t.Label(1043, "firstPrompt", QStringLiteral("Gen1"), 25, 50, 22, 10);
    m_panel.secondPrompt = t.Label(1044, "secondPrompt", QStringLiteral("Gen2"), 25, 69, 22, 10);
    m_panel.pageList = t.Combo(1019, "page", 150, 62, 88, 52);
    t.Group(QStringLiteral("Extra conditions"), 252, 7, 113, 51);
    t.Group(QStringLiteral("Results"), 252, 63, 113, 84);
    t.Group(QStringLiteral("Description"), 217, 152, 148, 61);
    m_description = t.MultiLineEdit(1061, "description", 223, 168, 135, 38);
    QLabel *genderLabel = t.Label(-1, "", QStringLiteral("Line can be spoken &by"), 14, 217, 73, 8);
    m_gender = t.Combo(1064, "gender", 92, 215, 111, 48);
    genderLabel->setBuddy(m_gender);
    t.Group(QStringLiteral("Gender check"), 7, 205, 204, 29);
    // The lists hold their entries in the order of IntelligenceCheck::Comparison and GenderCheck::Who.
    m_comparison->addItems({QStringLiteral("at least"), QStringLiteral("above"), QStringLiteral("below")});
    m_description->setAccessibleName(QStringLiteral("Description"));
    m_comparison->setAccessibleName(QStringLiteral("Comparison"));
    m_intelligence->setAccessibleName(QStringLiteral("Intelligence"));
    m_gender->addItems({QStringLiteral("anyone"), QStringLiteral("male PCs only"), QStringLiteral("female PCs only")});

    m_guard = new TextGuard(t.NoteLine(), this);
    m_guard->Guard(m_speech, TextRules::Place::Field);
    m_guard->Guard(m_panel.listField, TextRules::Place::Field);
    m_guard->Guard(m_conditions, TextRules::Place::Field);
    m_guard->Guard(m_results, TextRules::Place::Field);
    m_guard->Guard(m_description, TextRules::Place::Description);

    connect(m_generated, &QRadioButton::clicked, this, &CPcOptionDlg::OnGeneratedSpeech);
    connect(m_unique, &QRadioButton::clicked, this, &CPcOptionDlg::OnUniqueSpeech);
    connect(m_checkOn, &QRadioButton::clicked, this, &CPcOptionDlg::OnIntelligenceCheck);
    connect(m_checkOff, &QRadioButton::clicked, this, &CPcOptionDlg::OnNoIntelligenceCheck);
    connect(ok, &QPushButton::clicked, this, &CPcOptionDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_guard, &TextGuard::enterPressed, this, &CPcOptionDlg::OnOK);

    // Everything comes from the option as it stands.
    m_guard->Load(m_speech, m_option->GetSpeech());
    const GenderCheck::Who who = GenderCheck(m_option->GetFemaleSpeech()).GetWho();
    m_gender->setCurrentIndex(who == GenderCheck::Unknown ? GenderCheck::Anyone : who);
    const SpeechText &code = m_option->GetSpeechCode();
    m_panel.Load(code, kPcKinds, file);
    m_guard->Load(m_panel.listField, code.l);
    if (code.kind != 0)
        OnGeneratedSpeech();
    else
        OnUniqueSpeech();
    m_guard->Load(m_conditions, m_option->GetConditions());
    m_guard->Load(m_results, m_option->GetResults());

    // A check that checks nothing shows as "at least 1", switched off.
    const IntelligenceCheck check(m_option->GetIntelligenceCheck());
    m_comparison->setCurrentIndex(check.ChecksNothing() ? IntelligenceCheck::AtLeast : check.GetComparison());
    m_intelligence->setText(check.ChecksNothing() ? QStringLiteral("1") : AnsiText::ToDisplay(check.GetValue()));
    if (check.ChecksNothing())
        OnNoIntelligenceCheck();
    else
        OnIntelligenceCheck();

    ParameterPanel::FillPageCombo(m_jumpTo, file, m_option->GetTarget());
    m_guard->Load(m_description, m_option->GetDescription());
    connect(m_panel.kindList, &QComboBox::currentIndexChanged, this, [this] { m_panel.ShowParameterPrompts(); });
    // Tab reads the dialog left to right, top to bottom: the speech, the
    // conditions and results beside it, the intelligence check and the
    // description under them, the gender check, then OK and Cancel.
    // Each pair of radio buttons is one stop.
    new RadioGroup({m_generated, m_unique}, this);
    new RadioGroup({m_checkOn, m_checkOff}, this);
    QWidget *order[] = {m_generated, m_unique, m_panel.kindList, m_panel.moneyField, m_panel.listField, m_panel.numberField,
                        m_panel.pageList, m_speech, m_conditions, m_jumpTo, m_results, m_checkOn, m_checkOff, m_comparison,
                        m_intelligence, m_description, m_gender, ok, cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_panel.kindList->setFocus();
    m_loadedSpeech = m_panel.State(m_generated->isChecked(), m_speech->toPlainText());
    m_loadedIntelligence = IntelligenceState();
    m_loadedGender = m_gender->currentIndex();

    if (spelling) {
        m_spelling = new SpellingHighlighter(m_speech, *spelling);
        UpdateSpelling();
        connect(spelling, &DocumentSpelling::changed, this, &CPcOptionDlg::UpdateSpelling);
        connect(m_comparison, &QComboBox::currentIndexChanged, this, &CPcOptionDlg::UpdateSpelling);
        connect(m_intelligence, &QLineEdit::textChanged, this, &CPcOptionDlg::UpdateSpelling);
    }
}

// Speech shown only to PCs below some intelligence is misspelt on purpose,
// unless the settings say to spell it.
void CPcOptionDlg::UpdateSpelling()
{
    if (!m_spelling)
        return;
    // A below check that makes no sense is still a below check.
    const std::string check = CheckAsTyped().value_or("-");
    m_spelling->SetActive(m_unique->isChecked() && SpellingCheck::ReadsOptionChecking(check, m_documentSpelling->GetOptions()));
}

std::optional<std::string> CPcOptionDlg::CheckAsTyped() const
{
    // Values whose controls the user left alone go back as they were read.
    if (IntelligenceState() == m_loadedIntelligence)
        return m_option->GetIntelligenceCheck();
    if (!m_checkOn->isChecked())
        return "1";
    return IntelligenceCheck::Compose(static_cast<IntelligenceCheck::Comparison>(m_comparison->currentIndex()),
                                      TextGuard::Bytes(m_intelligence->text(), TextRules::Place::Field));
}

QString CPcOptionDlg::IntelligenceState() const
{
    return m_checkOn->isChecked() ? QString::number(m_comparison->currentIndex()) + QLatin1Char(' ') + m_intelligence->text() : QString();
}

void CPcOptionDlg::OnGeneratedSpeech()
{
    m_generated->setChecked(true);
    m_unique->setChecked(false);
    m_speech->setEnabled(false);
    m_panel.kindList->setEnabled(true);
    m_panel.ShowParameterPrompts();
    UpdateSpelling();
}

void CPcOptionDlg::OnUniqueSpeech()
{
    m_generated->setChecked(false);
    m_unique->setChecked(true);
    m_speech->setEnabled(true);
    m_panel.kindList->setEnabled(false);
    m_panel.HideParameterControls();
    UpdateSpelling();
}

void CPcOptionDlg::OnIntelligenceCheck()
{
    m_checkOn->setChecked(true);
    m_checkOff->setChecked(false);
    m_comparison->setEnabled(true);
    m_intelligence->setEnabled(true);
    UpdateSpelling();
}

void CPcOptionDlg::OnNoIntelligenceCheck()
{
    m_checkOff->setChecked(true);
    m_checkOn->setChecked(false);
    m_comparison->setEnabled(false);
    m_intelligence->setEnabled(false);
    UpdateSpelling();
}

void CPcOptionDlg::OnOK()
{
    const std::optional<std::string> check = CheckAsTyped();
    if (!check) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Invalid intelligence check entered"),
                        QStringLiteral("It does not make sense to check for intelligence values less than 1"),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("intelligenceMessage"));
        box.exec();
        return;
    }
    if (!m_guard->CheckAll().isEmpty())
        return;

    std::string speech = m_option->GetSpeech();
    const DialogLine *speechPage = m_option->GetSpeechCode().g;
    if (m_panel.State(m_generated->isChecked(), m_speech->toPlainText()) != m_loadedSpeech) {
        const bool generated = m_generated->isChecked();
        speech = generated ? m_panel.ReadBack() : m_guard->BytesOf(m_speech);
        speechPage = generated ? m_panel.ReadBackPage() : nullptr;
    }
    std::string genderCheck = m_option->GetFemaleSpeech();
    if (const int gender = m_gender->currentIndex(); gender != m_loadedGender)
        genderCheck = GenderCheck::Text(static_cast<GenderCheck::Who>(gender));

    m_option->SetIntelligenceCheck(*check);
    m_option->SetSpeech(speech);
    m_option->SetSpeechPage(speechPage);
    m_option->SetConditions(m_guard->BytesOf(m_conditions));
    m_option->SetResults(m_guard->BytesOf(m_results));
    m_option->SetTarget(ParameterPanel::SelectedPage(m_jumpTo));
    m_option->SetDescription(m_guard->BytesOf(m_description));
    m_option->SetFemaleSpeech(genderCheck);
    accept();
}
