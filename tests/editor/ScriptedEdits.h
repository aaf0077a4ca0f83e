#pragma once

#include "session/EditingSession.h"
#include "model/DialogFile.h"
#include "model/DialogLine.h"

#include <memory>
#include <string>

// The edits of the recovery test, the same in the editor it kills
// (recovery_driver) and in the test that checks what came back: the n-th
// edit, from 1, each one step of the undo stack on the first page.
constexpr int kScriptedEditPeriod = 25; // ms
constexpr int kScriptedSave = 5;        // the edit after which the file is saved

inline void ApplyScriptedEdit(EditingSession &session, int n)
{
    DialogLine &page = *session.GetDocument()->GetPage(0);
    if (n % 3 == 0) {
        auto option = std::make_unique<DialogLine>();
        option->SetSpeech("Option " + std::to_string(n));
        option->SetIntelligenceCheck("1");
        session.AddOption(page, std::move(option));
    } else {
        session.ChangePageInfo(page, "Start", "Edit " + std::to_string(n));
    }
}
