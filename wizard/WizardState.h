// The wizard's own state for one run: the page shown, the parameter editor's position, the
// chosen target and the settings read at start-up.
#pragma once

#include "HighlighterSettings.h"
#include "Upgrade.h"

#include <QString>

#include <optional>

namespace vmg::wizard {

// The code file a macro was opened from, and where in it the macro stood.
struct CodeOrigin {
    QString Path;
    upgrade::MacroOrigin Macro;
};

struct WizardState {
    int CurrentPage = 0;        // 0..6
    int ParamCount = 0;         // parameters entered on page 2
    int CurrentParam = 1;       // slot shown on page 2; ParamCount + 1 is the blank slot
    int FirstOptionalParam = 0; // first optional parameter (1-based), 0 when none
    int TargetChoice = 0;       // 0 both cores, 1 the 14-bit core, 2 the 16-bit core
    QString SaveFolder;         // where page 6 saves; start folder of Open... and of Browse
    richtext::HighlighterSettings HighlighterSettings;
    std::optional<CodeOrigin> Origin; // the macro came from a code file (Open...)
};

} // namespace vmg::wizard
