#include "dialogs/CPlayDlg.h"

#include "session/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "speech/ShownSpeech.h"
#include "ui/AnsiText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <climits>

namespace {

using Choice = ConversationPlay::Choice;
using End = ConversationPlay::End;

const QString kFemaleKey = QStringLiteral("play/female");
const QString kIntelligenceKey = QStringLiteral("play/intelligence");
const QString kIndent = QStringLiteral("\n      ");

// The PC of the last run: the user's own setting.
OfferedSet::Pc StoredPc()
{
    const QSettings settings;
    return {settings.value(kFemaleKey, false).toBool(), settings.value(kIntelligenceKey, 10).toLongLong()};
}

QString Where(const Choice &choice)
{
    if (choice.kind == Choice::DoesNotPay)
        return QStringLiteral("the PC's options here follow");
    if (choice.target)
        return QStringLiteral("goes to page ") + AnsiText::ToDisplay(choice.target->GetLabel());
    return choice.noSuchPage ? QStringLiteral("leads to page number %1, which no page has").arg(choice.targetNumber) : QStringLiteral("ends the dialog");
}

// What an option shows besides its speech: its conditions, where it leads
// and what it sets.
QString Details(const Choice &choice)
{
    const bool option = choice.kind == Choice::Option;
    QString text;
    if (option && !choice.line->GetConditions().empty())
        text += kIndent + QStringLiteral("if ") + AnsiText::ToDisplay(choice.line->GetConditions());
    text += kIndent + Where(choice);
    if (option && !choice.line->GetResults().empty())
        text += kIndent + QStringLiteral("would set ") + AnsiText::ToDisplay(choice.line->GetResults());
    return text;
}

QLabel *Buddy(const QString &text, QWidget *field)
{
    auto *label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

} // namespace

CPlayDlg::CPlayDlg(EditingSession &session, const DialogLine *start, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_play(*session.GetDocument(), StoredPc(), start)
{
    setWindowTitle(QStringLiteral("Play"));
    setObjectName(QStringLiteral("playDialog"));

    m_gender = new QComboBox(this);
    m_gender->setObjectName(QStringLiteral("gender"));
    m_gender->addItems({QStringLiteral("male"), QStringLiteral("female")});
    m_gender->setCurrentIndex(m_play.GetPc().female ? 1 : 0);
    m_intelligence = new QComboBox(this);
    m_intelligence->setObjectName(QStringLiteral("intelligence"));
    m_intelligence->setEditable(true);
    m_intelligence->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= 20; ++i)
        m_intelligence->addItem(QString::number(i));
    m_intelligence->setValidator(new QIntValidator(INT_MIN, INT_MAX, m_intelligence));
    m_intelligence->setEditText(QString::number(m_play.GetPc().intelligence));
    auto *profile = new QHBoxLayout;
    profile->addWidget(Buddy(QStringLiteral("PC's &gender:"), m_gender));
    profile->addWidget(m_gender);
    profile->addSpacing(12);
    profile->addWidget(Buddy(QStringLiteral("&Intelligence:"), m_intelligence));
    profile->addWidget(m_intelligence);
    profile->addStretch();

    m_pageName = new QLabel(this);
    m_pageName->setObjectName(QStringLiteral("pageName"));
    QFont bold = m_pageName->font();
    bold.setBold(true);
    m_pageName->setFont(bold);
    m_npcSpeech = new QPlainTextEdit(this);
    m_npcSpeech->setObjectName(QStringLiteral("npcSpeech"));
    m_npcSpeech->setReadOnly(true);
    m_npcSpeech->setMaximumHeight(m_npcSpeech->fontMetrics().lineSpacing() * 4);
    m_options = new QListWidget(this);
    m_options->setObjectName(QStringLiteral("options"));
    m_options->setWordWrap(true);
    m_options->installEventFilter(this);
    m_options->viewport()->installEventFilter(this);
    m_conditions = new QGroupBox(QStringLiteral("Extra conditions, which only the game can evaluate"), this);
    m_conditions->setObjectName(QStringLiteral("conditions"));
    m_conditionsLayout = new QVBoxLayout(m_conditions);
    m_end = new QLabel(this);
    m_end->setObjectName(QStringLiteral("end"));
    m_end->setWordWrap(true);
    auto *page = new QVBoxLayout;
    page->addWidget(m_pageName);
    page->addWidget(Buddy(QStringLiteral("The &NPC says:"), m_npcSpeech));
    page->addWidget(m_npcSpeech);
    page->addWidget(Buddy(QStringLiteral("The PC's &options (click one or press its number):"), m_options));
    page->addWidget(m_options, 1);
    page->addWidget(m_conditions);
    page->addWidget(m_end);

    m_path = new QListWidget(this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->installEventFilter(this);
    auto *path = new QVBoxLayout;
    path->addWidget(Buddy(QStringLiteral("&Path:"), m_path));
    path->addWidget(m_path);
    auto *middle = new QHBoxLayout;
    middle->addLayout(page, 3);
    middle->addLayout(path, 1);

    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("back"));
    auto *edit = new QPushButton(QStringLiteral("&Edit this page"), this);
    edit->setObjectName(QStringLiteral("editPage"));
    auto *copy = new QPushButton(QStringLiteral("&Copy as command"), this);
    copy->setObjectName(QStringLiteral("copyCommand"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_back, edit, copy})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    // Enter chooses in the list; no button takes it.
    for (QPushButton *button : {m_back, edit, copy, close})
        button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(profile);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(720, 520);

    connect(m_gender, &QComboBox::currentIndexChanged, this, &CPlayDlg::OnProfileChanged);
    connect(m_intelligence, &QComboBox::editTextChanged, this, &CPlayDlg::OnProfileChanged);
    connect(m_options, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { OnChoose(m_options->row(item)); });
    connect(m_back, &QPushButton::clicked, this, &CPlayDlg::OnBack);
    connect(edit, &QPushButton::clicked, this, &CPlayDlg::OnEditPage);
    connect(copy, &QPushButton::clicked, this, &CPlayDlg::OnCopyCommand);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    ShowStep();
    m_options->setFocus();
}

void CPlayDlg::OnProfileChanged()
{
    bool ok = false;
    const long long intelligence = m_intelligence->currentText().toLongLong(&ok);
    if (!ok)
        return;
    const bool female = m_gender->currentIndex() == 1;
    QSettings settings;
    settings.setValue(kFemaleKey, female);
    settings.setValue(kIntelligenceKey, intelligence);
    m_play.SetPc({female, intelligence});
    ShowStep();
}

void CPlayDlg::OnChoose(int index)
{
    if (m_play.Choose(index))
        ShowStep();
}

void CPlayDlg::OnBack()
{
    if (m_play.Back())
        ShowStep();
}

void CPlayDlg::OnEditPage()
{
    DialogFile &file = *m_session.GetDocument();
    m_session.SetCurrentPage(file.GetPage(file.IndexOf(m_play.GetSteps().back().page)));
    accept();
}

void CPlayDlg::OnCopyCommand()
{
    const std::string command = m_play.ReplayCommand(m_session.GetDocument()->GetFileName());
    QApplication::clipboard()->setText(QString::fromUtf8(command.data(), static_cast<qsizetype>(command.size())));
}

void CPlayDlg::ShowStep()
{
    const ConversationPlay::Step &step = m_play.GetSteps().back();
    m_pageName->setText(QStringLiteral("Page ") + AnsiText::ToDisplay(step.page->GetLabel()));
    m_npcSpeech->setPlainText(AnsiText::ToDisplay(ShownSpeech::Of(m_play.NpcSpeech(*step.page))));

    m_options->clear();
    for (size_t i = 0; i < step.offered.size(); ++i) {
        const Choice &choice = step.offered[i];
        m_options->addItem(QString::number(i + 1) + QStringLiteral(". ") + AnsiText::ToDisplay(ConversationPlay::Shown(choice)) + Details(choice));
    }
    for (const Choice &choice : step.hidden) {
        auto *item = new QListWidgetItem(AnsiText::ToDisplay(ConversationPlay::Shown(choice)) + Details(choice) + kIndent
                                             + QStringLiteral("not offered: ") + QString::fromStdString(choice.reason),
                                         m_options);
        item->setFlags(Qt::NoItemFlags); // dimmed, and not to be chosen
    }
    if (step.chosen >= 0)
        m_options->setCurrentRow(step.chosen);
    else if (!step.offered.empty())
        m_options->setCurrentRow(0);
    ShowConditions(step);

    switch (m_play.GetEnd()) {
    case End::None:
        m_end->clear();
        break;
    case End::DialogFinished:
        m_end->setText(QStringLiteral("The dialog is finished: the option chosen ends it."));
        break;
    case End::NoSuchPage:
        m_end->setText(QStringLiteral("The run ends: the option chosen leads to page number %1, which no page has.")
                           .arg(step.offered[static_cast<size_t>(step.chosen)].targetNumber));
        break;
    case End::NoOptions:
        m_end->setText(QStringLiteral("The run ends: this PC is offered nothing here."));
        break;
    }

    m_path->clear();
    for (const ConversationPlay::Step &stood : m_play.GetSteps())
        m_path->addItem(AnsiText::ToDisplay(stood.page->GetLabel()));
    m_path->setCurrentRow(m_path->count() - 1);
    m_back->setEnabled(m_play.GetSteps().size() > 1 || step.chosen >= 0);
}

// A check box "passes" for each option of the page with extra conditions.
void CPlayDlg::ShowConditions(const ConversationPlay::Step &step)
{
    while (QLayoutItem *item = m_conditionsLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!step.asksMoney) {
        for (int i = 0; i < step.page->GetOptionCount(); ++i) {
            const DialogLine &option = *step.page->GetOption(i);
            if (option.GetConditions().empty())
                continue;
            // The texts are the file's: an "&" in them is shown, not taken for an Alt key.
            auto *passes = new QCheckBox(QStringLiteral("\u201c%1\u201d passes, for \u201c%2\u201d")
                                             .arg(AnsiText::ToDisplay(option.GetConditions()), AnsiText::ToDisplay(ShownSpeech::Of(option.GetSpeech())))
                                             .replace(QLatin1Char('&'), QStringLiteral("&&")),
                                         m_conditions);
            passes->setObjectName(QStringLiteral("conditionPasses"));
            passes->setChecked(m_play.ConditionsPass(option));
            connect(passes, &QCheckBox::toggled, this, [this, line = &option](bool pass) {
                m_play.SetConditionsPass(*line, pass);
                // The redisplay deletes the box: not while it is telling of its click.
                QMetaObject::invokeMethod(this, [this] { ShowStep(); }, Qt::QueuedConnection);
            });
            m_conditionsLayout->addWidget(passes);
        }
    }
    m_conditions->setVisible(m_conditionsLayout->count() > 0);
    // Tab reaches the conditions under the options, before the path beside them.
    QWidget *previous = m_options;
    for (QCheckBox *passes : m_conditions->findChildren<QCheckBox *>(QString(), Qt::FindDirectChildrenOnly)) {
        setTabOrder(previous, passes);
        previous = passes;
    }
    setTabOrder(previous, m_path);
}

bool CPlayDlg::ChooseByKey(const QKeyEvent &event)
{
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (event.key() >= Qt::Key_1 && event.key() <= Qt::Key_9) {
        OnChoose(event.key() - Qt::Key_1);
        return true;
    }
    return false;
}

bool CPlayDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_options || watched == m_path)) {
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if (ChooseByKey(key))
            return true;
        if (watched == m_options && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
            OnChoose(m_options->currentRow());
            return true;
        }
    }
    // A double click is one choice, not two: its second click would land on
    // the next page's options.
    if (watched == m_options->viewport() && event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QDialog::eventFilter(watched, event);
}

void CPlayDlg::keyPressEvent(QKeyEvent *event)
{
    if (!ChooseByKey(*event))
        QDialog::keyPressEvent(event);
}
