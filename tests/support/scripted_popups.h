// A stand-in for the main window's popups: the dialog answered by a test's function, the
// effect skipped.
#pragma once

#include "puzzle/game.h"

#include <functional>

namespace horokata::testing {

struct ScriptedPopups : GameHost {
    // The dialog's answer to its mode and name (true for yes); it may look at the window as
    // the dialog opens.
    std::function<bool(DialogMode mode, const QString &name)> answer = [](DialogMode, const QString &) { return true; };

    FlowTask<bool> SET_FORM2(DialogMode mode, QString name) override { co_return answer(mode, name); }
    FlowTask<> playCelebration() override { co_return; }
    FlowTask<> closeMainWindow() override { co_return; }
};

} // namespace horokata::testing
