#include "rules/ConversationPlay.h"

#include "model/DialogFile.h"
#include "model/DialogLine.h"
#include "model/Windows1252.h"
#include "speech/GeneratedSpeechKind.h"
#include "speech/ShownSpeech.h"

#include <algorithm>

namespace {

// A word for a POSIX shell: as it is when nothing in it is special,
// otherwise in single quotes.
std::string ShellWord(std::string_view word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::string_view("_-./,:=+@%").find(c) != std::string_view::npos;
    });
    if (plain)
        return std::string(word);
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

ConversationPlay::ConversationPlay(const DialogFile &file, const OfferedSet::Pc &pc, const DialogLine *start)
    : m_file(file)
    , m_pc(pc)
    , m_start(start)
{
    m_pageNumbers.reserve(static_cast<size_t>(file.GetPageCount()));
    for (int i = 0; i < file.GetPageCount(); ++i)
        m_pageNumbers.insert(file.GetPage(i)->GetNumber());
    m_steps.push_back(Offer(*m_start, false));
}

const std::string &ConversationPlay::NpcSpeech(const DialogLine &page) const
{
    return m_pc.female && !page.IsSameSpeechForBoth() ? page.GetFemaleSpeech() : page.GetSpeech();
}

const SpeechText &ConversationPlay::NpcSpeechCode(const DialogLine &page) const
{
    return m_pc.female && !page.IsSameSpeechForBoth() ? page.GetFemaleSpeechCode() : page.GetSpeechCode();
}

std::string ConversationPlay::Shown(const Choice &choice)
{
    switch (choice.kind) {
    case Choice::Pays:
        return "pays";
    case Choice::DoesNotPay:
        return "does not pay";
    case Choice::Option:
        break;
    }
    return ShownSpeech::Of(choice.line->GetSpeech());
}

bool ConversationPlay::NamesNoPage(int number) const
{
    return number != 0 && !m_pageNumbers.contains(number);
}

ConversationPlay::Step ConversationPlay::Offer(const DialogLine &page, bool moneyDeclined) const
{
    Step step;
    step.page = &page;
    const SpeechText &code = NpcSpeechCode(page);
    step.asksMoney = code.kind == GeneratedSpeechKind::RequestMoney && !moneyDeclined;
    if (step.asksMoney) {
        // The page the request names, once the reader or a dialog found it.
        step.offered.push_back({Choice::Pays, &page, code.g, code.n, !code.g && NamesNoPage(code.n), {}});
        step.offered.push_back({Choice::DoesNotPay, &page, &page, page.GetNumber(), false, {}});
        return step;
    }
    for (int i = 0; i < page.GetOptionCount(); ++i) {
        const DialogLine &option = *page.GetOption(i);
        const int number = option.GetTarget() ? option.GetTarget()->GetNumber() : option.GetTargetNumber();
        Choice choice{Choice::Option, &option, option.GetTarget(), number, !option.GetTarget() && NamesNoPage(number), {}};
        if (const OfferedSet::Refusal refusal = OfferedSet::Check(option, m_pc, ConditionsPass(option)); refusal.Any()) {
            choice.reason = OfferedSet::Reason(option, refusal);
            step.hidden.push_back(std::move(choice));
        } else {
            step.offered.push_back(std::move(choice));
        }
    }
    return step;
}

ConversationPlay::End ConversationPlay::GetEnd() const
{
    const Step &last = m_steps.back();
    if (last.chosen >= 0)
        return last.offered[static_cast<size_t>(last.chosen)].noSuchPage ? End::NoSuchPage : End::DialogFinished;
    return last.offered.empty() ? End::NoOptions : End::None;
}

bool ConversationPlay::Choose(int index)
{
    Step &last = m_steps.back();
    if (GetEnd() != End::None || index < 0 || static_cast<size_t>(index) >= last.offered.size())
        return false;
    last.chosen = index;
    const Choice &choice = last.offered[static_cast<size_t>(index)];
    // A choice that leads nowhere ends the play on the page where it was made.
    if (choice.target)
        m_steps.push_back(Offer(*choice.target, choice.kind == Choice::DoesNotPay));
    return true;
}

bool ConversationPlay::Back()
{
    if (m_steps.back().chosen < 0) {
        if (m_steps.size() == 1)
            return false;
        m_steps.pop_back();
    }
    m_steps.back().chosen = -1;
    return true;
}

void ConversationPlay::SetPc(const OfferedSet::Pc &pc)
{
    m_pc = pc;
    Replay();
}

void ConversationPlay::SetConditionsPass(const DialogLine &option, bool pass)
{
    SetConditionsPass(std::vector<const DialogLine *>{&option}, pass);
}

void ConversationPlay::SetConditionsPass(const std::vector<const DialogLine *> &options, bool pass)
{
    for (const DialogLine *option : options) {
        if (pass)
            m_failing.erase(option);
        else
            m_failing.insert(option);
    }
    Replay();
}

// Each choice is found again by what it is, not by its number, which the
// change may have moved.
void ConversationPlay::Replay()
{
    std::vector<std::pair<Choice::Kind, const DialogLine *>> made;
    for (const Step &step : m_steps) {
        if (step.chosen >= 0)
            made.emplace_back(step.offered[static_cast<size_t>(step.chosen)].kind, step.offered[static_cast<size_t>(step.chosen)].line);
    }
    m_steps.assign(1, Offer(*m_start, false));
    for (const auto &choice : made) {
        const std::vector<Choice> &offered = m_steps.back().offered;
        const auto it = std::find_if(offered.begin(), offered.end(),
                                     [&choice](const Choice &c) { return c.kind == choice.first && c.line == choice.second; });
        if (it == offered.end() || !Choose(static_cast<int>(it - offered.begin())))
            break;
    }
}

std::string ConversationPlay::ReplayCommand(std::string_view fileName) const
{
    std::string command = "dlgtool play " + ShellWord(fileName) + " --gender " + (m_pc.female ? "female" : "male") + " --intelligence "
                          + std::to_string(m_pc.intelligence);
    if (m_file.GetPageCount() > 0 && m_start != m_file.GetPage(0))
        command.append(" --start ").append(ShellWord(Windows1252::ToUtf8(m_start->GetLabel())));
    std::vector<int> choices;
    for (const Step &step : m_steps) {
        if (step.chosen >= 0)
            choices.push_back(step.chosen + 1);
    }
    // Options made since the file was read have no line to name.
    std::set<int> lines;
    for (const DialogLine *option : m_failing) {
        if (option->GetFileLine() > 0)
            lines.insert(option->GetFileLine());
    }
    const auto list = [&command](const char *option, const auto &numbers) {
        const char *separator = option;
        for (const int number : numbers) {
            command.append(separator).append(std::to_string(number));
            separator = ",";
        }
    };
    list(" --choose ", choices);
    list(" --fail-conditions ", lines);
    return command;
}
