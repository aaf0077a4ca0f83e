#pragma once

#include "rules/OfferedSet.h"

#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class DialogFile;
class DialogLine;
struct SpeechText;

// One PC's way through a conversation, as the game would lead it: at each
// page the NPC's speech to that PC and the options it is offered, then the
// choice made. The play window and dlgtool play both walk it, so what one
// shows the other replays.
//
// A page whose NPC asks for money (Request money) takes two steps: first
// the PC pays, which goes to the page the request names, or does not pay;
// then, on the same page, its options.
class ConversationPlay {
public:
    enum class End {
        None,           // a choice is still to be made
        DialogFinished, // the choice ends the dialog
        NoSuchPage,     // the choice leads to a page number that no page has
        NoOptions,      // nothing is offered here
    };

    struct Choice {
        enum Kind { Option, Pays, DoesNotPay };
        Kind kind = Option;
        const DialogLine *line = nullptr;   // the option; the page for Pays and DoesNotPay
        const DialogLine *target = nullptr; // the page it leads to; null when none
        int targetNumber = 0;               // the number of the page it names; 0: none, the dialog ends
        bool noSuchPage = false;            // without a target: no page has that number
        std::string reason;                 // why a hidden option is not offered
    };

    struct Step {
        const DialogLine *page = nullptr;
        bool asksMoney = false; // the choices are Pays and DoesNotPay
        std::vector<Choice> offered;
        std::vector<Choice> hidden;
        int chosen = -1; // among offered, 0-based; -1 while none
    };

    // Starts on start, a page of file, which must not change while the play lasts.
    ConversationPlay(const DialogFile &file, const OfferedSet::Pc &pc, const DialogLine *start);

    const OfferedSet::Pc &GetPc() const { return m_pc; }
    const DialogLine *GetStart() const { return m_start; }
    // The pages stood on, the last where the play stands now.
    const std::vector<Step> &GetSteps() const { return m_steps; }
    End GetEnd() const;

    // Makes the offered choice at index of the last step. False, changing
    // nothing, when the play has ended or there is no such choice.
    bool Choose(int index);
    // Takes the last choice back; false when none was made.
    bool Back();
    // Another PC, or an option's conditions taken to pass or fail (they pass
    // until said otherwise), walks the choices made again, as far as each
    // is still offered.
    void SetPc(const OfferedSet::Pc &pc);
    void SetConditionsPass(const DialogLine &option, bool pass);
    // The same for many options at once, walking the choices again once.
    void SetConditionsPass(const std::vector<const DialogLine *> &options, bool pass);
    bool ConditionsPass(const DialogLine &option) const { return !m_failing.contains(&option); }

    // What a choice says, as the game shows it: the option's speech, or
    // "pays" and "does not pay".
    static std::string Shown(const Choice &choice);
    // The speech of page to this PC, as stored, and decoded.
    const std::string &NpcSpeech(const DialogLine &page) const;
    const SpeechText &NpcSpeechCode(const DialogLine &page) const;

    // The dlgtool command line that plays the same way, in UTF-8, the file
    // named as given.
    std::string ReplayCommand(std::string_view fileName) const;

private:
    Step Offer(const DialogLine &page, bool moneyDeclined) const;
    // Where a jump by page number with no page found goes: nowhere because
    // the number is 0 (the dialog ends), or to a number no page has.
    bool NamesNoPage(int number) const;
    void Replay();

    const DialogFile &m_file;
    std::unordered_set<int> m_pageNumbers; // found at once, not by a walk through the file at each jump
    OfferedSet::Pc m_pc;
    const DialogLine *m_start;
    std::set<const DialogLine *> m_failing;
    std::vector<Step> m_steps;
};
