# The test command's tally: checks passed, failed and skipped, every skip named with why. A check that did
# not run has not passed: under CI (CI=true) a skip is counted as a failure, named as one. Every stage ends
# with the line "LABEL: N passed, M failed, K skipped", which the stage above it adds up (tally_stage).
# shellcheck shell=bash

TALLY_PASSED=0
TALLY_FAILED=0
TALLY_SKIPS=()

tally_pass() { TALLY_PASSED=$((TALLY_PASSED + ${1:-1})); }
tally_fail() { TALLY_FAILED=$((TALLY_FAILED + ${1:-1})); }

# A check that did not run: what, and why.
tally_skip() {
  if [ "${CI:-}" = true ]; then
    TALLY_FAILED=$((TALLY_FAILED + 1))
    echo "$1: FAILED, did not run: $2"
  else
    TALLY_SKIPS+=("$1: $2")
    echo "$1: SKIPPED, $2"
  fi
}

# A check this machine cannot run at all (its kernel runs no 32-bit program): not a skip the suite chose,
# so it is no failure under CI either; named as not run here, and counted, in every run's last line.
tally_not_here() {
  TALLY_SKIPS+=("$1: not run on this machine: $2")
  echo "$1: NOT RUN ON THIS MACHINE, $2"
}

# A GoogleTest run's log under a label: its passed, failed and skipped tests (each skipped one named); a
# run that ended without a summary is one failure.
tally_gtest() {
  local log=$1 label=$2 ok bad name
  ok=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -1)
  bad=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -1)
  if [ -z "$ok" ] && [ -z "$bad" ]; then
    echo "$label: no result"
    tail -30 "$log"
    tally_fail
    return
  fi
  tally_pass "${ok:-0}"
  tally_fail "${bad:-0}"
  echo "$label: ${ok:-0} passed, ${bad:-0} failed"
  [ "${bad:-0}" -eq 0 ] || grep -E 'Failure|Expected|Which is|actual|^\[  FAILED' "$log" | head -60
  while read -r name; do
    tally_skip "$label $name" "GTEST_SKIP: $(grep -A1 -F "[ RUN      ] $name" "$log" | grep -vF '[ RUN' | head -1)"
  done < <(grep -E '^\[  SKIPPED \] [A-Za-z_]' "$log" | sed 's/^\[  SKIPPED \] //' | sort -u)
}

# A stage's final line ("LABEL: N passed, M failed, K skipped") read from its output and added; a stage
# that printed none is one failure.
tally_stage() {
  local output=$1 label=$2 line ok bad
  line=$(grep -E "^$label: [0-9]+ passed, [0-9]+ failed" "$output" | tail -1)
  if [ -z "$line" ]; then
    echo "$label: no result"
    tally_fail
    return
  fi
  read -r ok bad < <(echo "$line" | sed -E "s/^$label: ([0-9]+) passed, ([0-9]+) failed.*$/\1 \2/")
  tally_pass "$ok"
  tally_fail "$bad"
  local name
  while read -r name; do
    TALLY_SKIPS+=("$name")
  done < <(sed -n 's/^\(.*\): SKIPPED, \(.*\)$/\1: \2/p; s/^\(.*\): NOT RUN ON THIS MACHINE, \(.*\)$/\1: not run on this machine: \2/p' "$output")
}

# Whether namespaces of these kinds (unshare's flags) can be made here; a stand-in unshare on PATH is
# asked too.
namespaces_allowed() { unshare "$@" true 2>/dev/null; }

# The last line: "N passed, M failed, K skipped", the skips listed before it; under CI, where every skip
# was a failure, "N passed, M failed" (and ", K skipped" for the checks this machine cannot run).
tally_line() {
  local skip label=${1:-}
  for skip in "${TALLY_SKIPS[@]}"; do echo "skipped: $skip"; done
  if [ "${CI:-}" = true ] && [ "${#TALLY_SKIPS[@]}" -eq 0 ]; then
    echo "${label:+$label: }$TALLY_PASSED passed, $TALLY_FAILED failed"
  else
    echo "${label:+$label: }$TALLY_PASSED passed, $TALLY_FAILED failed, ${#TALLY_SKIPS[@]} skipped"
  fi
  [ "$TALLY_FAILED" -eq 0 ]
}
