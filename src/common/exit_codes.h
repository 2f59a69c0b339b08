// The tool's exit codes, which a batch file tests and every log line keeps.
#pragma once

namespace vexa::exit_code {

constexpr int kDone = 0;  // written, already set, or (/check) in effect
constexpr int kBadArguments = 1;
constexpr int kRefused = 2;          // with the reason
constexpr int kNotAllWritten = 3;    // a value that applies could not be written (listed)
constexpr int kRestartRefused = 4;   // written, but the restart request was refused
constexpr int kNotInEffect = 5;      // in the registry, but Windows does not run with it yet
constexpr int kRegistryDiffers = 6;  // /check: the registry does not hold the plan
constexpr int kNoWindow = 7;         // the window could not be created (no desktop to show it on)

// Every value is in the registry after a run that returned code, in effect or not yet: what a log line
// needs to vouch for its card's number.
constexpr bool ValuesInRegistry(int code) { return code == kDone || code == kRestartRefused || code == kNotInEffect; }

}  // namespace vexa::exit_code
