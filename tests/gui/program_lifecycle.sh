#!/usr/bin/env bash
# The program as a user starts it: a first start makes the work folder, a second start hands
# its parameters over and ends with 0, and SIGTERM closes the window with everything saved.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'kill -9 $first 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen
export VANTREL_SETTINGS_BASE=http://127.0.0.1:9/common/
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*"; exit 1; }

"$program" & first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] || fail "the first instance does not listen"
[ -d "$XDG_DATA_HOME/SendPhoto" ] || fail "no work folder"

start=$(date +%s)
timeout 20 "$program" a b || fail "a second start did not end with 0"
[ $(( $(date +%s) - start )) -lt 5 ] || fail "the second start took too long"
kill -0 $first || fail "the first instance ended"

kill -TERM $first
wait $first || fail "the first instance did not end cleanly after SIGTERM"
ini=$XDG_DATA_HOME/SendPhoto/vantrel.ini
grep -q '^FileName=GB.lng' "$ini" || fail "no settings file after SIGTERM"
grep -q '^\[Params\]' "$ini" || fail "settings file incomplete"
[ "$(stat -c %a "$ini")" = 600 ] || fail "settings file readable by others"

# A crash leaves the socket behind: the next start must still come up.
"$program" & first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] && break; sleep 0.1; done
kill -9 $first; wait $first 2>/dev/null || true
"$program" & first=$!
sleep 2
kill -0 $first || fail "a start after a crash did not come up"
kill -TERM $first; wait $first || true
echo "program lifecycle: all passed"
