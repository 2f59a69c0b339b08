// The one path of a press of OK and of a run without a window: plan, refuse or write, restart when asked,
// log; /check, which only reads; /undo. Each goes through the run's one RunContext (apply/run_context.h);
// the window and the console present the outcome (apply/outcome.h).
#pragma once

#include "apply/confirmer.h"
#include "apply/machine_plan.h"
#include "apply/outcome.h"
#include "apply/run_context.h"

namespace vexa {

// Nothing is written without the log's lock: a log that stays busy past the wait (and every longer one the
// confirmer asks for) refuses the run, with nothing written and no line. With [Log] Folder=, the cafe's log
// is the guard: a number a person gave is written only under its lock; a run whose number the table decides
// goes on and keeps its line beside config.ini.
Outcome ApplyMachine(RunContext& run, const Target& target, Confirmer& confirmer);

// /undo: the values the machine held before the tool first changed it put back (apply/saved_state.h), the
// saved state then removed, a line logged, and a restart when the host name changes.
Outcome UndoMachine(RunContext& run, Confirmer& confirmer);

CheckOutcome CheckMachine(RunContext& run, const Target& target);

}  // namespace vexa
