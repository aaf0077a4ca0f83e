#include "dialogs/ParameterPanel.h"

#include "ui/AnsiText.h"
#include "model/DialogField.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "speech/SpeechText.h"
#include "speech/GeneratedSpeechKind.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <vector>

namespace {

struct Prompts {
    int kind;
    const char *first;
    QLineEdit *ParameterPanel::*firstField; // null: the page list
    const char *second;                     // null: no second prompt
    QLineEdit *ParameterPanel::*secondField;
};

constexpr Prompts kPrompts[] = {
    {2, "Ask exact location of any of these areas:", &ParameterPanel::listField, "Amount of money the NPC will demand:", &ParameterPanel::moneyField},
    {3, "Ask directions to any of these areas:", &ParameterPanel::listField, "Amount of money the NPC will demand:", &ParameterPanel::moneyField},
    {13, "Ask the NPC to cast this spell:", &ParameterPanel::numberField, nullptr, nullptr},
    {15, "Request training in one of these skills:", &ParameterPanel::listField, nullptr, nullptr},
    {16, "Ask the NPC to use this skill:", &ParameterPanel::numberField, nullptr, nullptr},
    {21, "Amount of money to request from the PC:", &ParameterPanel::moneyField, "If the PC pays, go to this dialog page:", nullptr},
    {23, "Request information about one of the these rumours:", &ParameterPanel::listField, "Amount of money the NPC will demand:", &ParameterPanel::moneyField},
};

constexpr int kPromptGap = 10; // pixels between a prompt and its control
constexpr int kMissingPageRole = Qt::UserRole + 1;

int ToInt(const QLineEdit *field)
{
    return DialogField::ToInt(field->text().toStdString());
}

} // namespace

void ParameterPanel::HideParameterControls() const
{
    for (QWidget *control : std::initializer_list<QWidget *>{firstPrompt, secondPrompt, moneyField, listField, numberField, pageList})
        control->hide();
}

void ParameterPanel::ShowParameterPrompts() const
{
    if (kindList->currentIndex() < 0)
        return;
    const int kind = kindList->currentData().toInt();
    HideParameterControls();
    for (const Prompts &prompts : kPrompts) {
        if (prompts.kind != kind)
            continue;
        PlacePrompt(firstPrompt, QString::fromLatin1(prompts.first), this->*prompts.firstField);
        if (prompts.second) {
            QWidget *control = prompts.secondField ? static_cast<QWidget *>(this->*prompts.secondField) : pageList;
            PlacePrompt(secondPrompt, QString::fromLatin1(prompts.second), control);
        }
    }
}

void ParameterPanel::PlacePrompt(QLabel *label, const QString &text, QWidget *control)
{
    control->show();
    label->show();
    control->move(control->x(), label->y());
    label->resize(qMax(0, control->x() - kPromptGap - label->x()), label->height());
    label->setText(text);
}

void ParameterPanel::FillPageCombo(QComboBox *pageList, const DialogFile *file, const DialogLine *page, int missingNumber)
{
    pageList->addItem(QStringLiteral("Exit"), QVariant::fromValue<quintptr>(0));
    pageList->setCurrentIndex(0);
    for (int i = 0; file && i < file->GetPageCount(); ++i) {
        const DialogLine *entry = file->GetPage(i);
        pageList->addItem(AnsiText::ToDisplay(entry->GetLabel()), QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
        if (entry == page)
            pageList->setCurrentIndex(pageList->count() - 1);
    }
    if (!page && missingNumber != 0) {
        pageList->addItem(QStringLiteral("page %1 (no such page)").arg(missingNumber), QVariant::fromValue<quintptr>(0));
        pageList->setItemData(pageList->count() - 1, missingNumber, kMissingPageRole);
        pageList->setCurrentIndex(pageList->count() - 1);
    }
}

DialogLine *ParameterPanel::SelectedPage(const QComboBox *pageList)
{
    return reinterpret_cast<DialogLine *>(pageList->currentData().value<quintptr>());
}

void ParameterPanel::Load(const SpeechText &record, std::span<const int> offeredKinds, const DialogFile *file) const
{
    moneyField->setText(QString::number(record.m));
    numberField->setText(QString::number(record.n));
    listField->setText(AnsiText::ToDisplay(record.l));
    FillPageCombo(pageList, file, record.g, record.kind == GeneratedSpeechKind::RequestMoney ? record.n : 0);

    // Sorted by label without regard to case, as the lists have always read.
    std::vector<int> kinds(offeredKinds.begin(), offeredKinds.end());
    if (record.kind != 0 && std::find(kinds.begin(), kinds.end(), record.kind) == kinds.end())
        kinds.push_back(record.kind);
    for (const int id : kinds) {
        const QString label = QString::fromLatin1(GetSpeechKindLabel(id));
        int at = 0;
        while (at < kindList->count() && kindList->itemText(at).compare(label, Qt::CaseInsensitive) < 0)
            ++at;
        kindList->insertItem(at, label, id);
    }
    const int selected = kindList->findData(record.kind);
    kindList->setCurrentIndex(selected >= 0 ? selected : 0);
}

std::string ParameterPanel::ReadBack() const
{
    if (kindList->currentIndex() < 0)
        return {};
    SpeechText record;
    record.kind = kindList->currentData().toInt();
    record.n = ToInt(numberField);
    record.m = ToInt(moneyField);
    std::string list;
    AnsiText::FromDisplay(listField->text(), list);
    record.l = list;
    // Request money leads to the page chosen in the list; "Exit" is 0.
    if (record.kind == GeneratedSpeechKind::RequestMoney) {
        const DialogLine *page = SelectedPage(pageList);
        record.n = page ? page->GetNumber() : pageList->currentData(kMissingPageRole).toInt();
    }
    return EncodeSpeech(record);
}

const DialogLine *ParameterPanel::ReadBackPage() const
{
    if (kindList->currentIndex() < 0 || kindList->currentData().toInt() != GeneratedSpeechKind::RequestMoney)
        return nullptr;
    return SelectedPage(pageList);
}

QString ParameterPanel::State(bool generated, const QString &uniqueText) const
{
    if (!generated)
        return QStringLiteral("unique ") + uniqueText;
    return QStringList{QStringLiteral("generated"), QString::number(kindList->currentIndex()), moneyField->text(), listField->text(),
                       numberField->text(), QString::number(pageList->currentIndex())}
        .join(QChar(0x1F));
}
