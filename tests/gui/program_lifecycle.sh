#!/usr/bin/env bash
# The program as a user starts it: a first start makes the work folder, a second start hands
# its parameters over and ends with 0, and SIGTERM closes the window with everything saved.
set -euo pipefail
program=$1
home=$(mktemp -d)
stall=
trap 'kill -9 $first $stall 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache QT_QPA_PLATFORM=offscreen
export VANTREL_SETTINGS_BASE=http://127.0.0.1:9/common/
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*"; exit 1; }

"$program" & first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] || fail "the first instance does not listen"
for _ in $(seq 100); do [ -d "$XDG_DATA_HOME/SendPhoto" ] && break; sleep 0.1; done
[ -d "$XDG_DATA_HOME/SendPhoto" ] || fail "no work folder"

timeout 20 "$program" a b || fail "a second start did not end with 0"
# After "--" a name starting with "-" is a file to hand over, not an option.
timeout 20 "$program" -- -dash.jpg || fail "a second start with a file after -- did not end with 0"
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

# While the first instance still waits for the service's settings (a loopback server that takes
# the connection and never answers), a second start must already hand over to it.
python3 -c '
import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(4)
print(s.getsockname()[1], flush=True)
held = []
while True:
    held.append(s.accept()[0])
' > "$home/stall.port" & stall=$!
for _ in $(seq 50); do [ -s "$home/stall.port" ] && break; sleep 0.1; done
VANTREL_SETTINGS_BASE=http://127.0.0.1:$(cat "$home/stall.port")/common/ "$program" & first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] || fail "a starting instance does not listen while it waits for the service"
timeout 20 "$program" c || fail "a second start during the first one's start did not hand over"
kill -0 $first || fail "the starting instance ended"
# SIGTERM ends that wait at once: the instance closes cleanly within a second.
kill -TERM $first
( sleep 1; kill -9 $first 2>/dev/null ) & guard=$!
status=0; wait $first || status=$?
kill $guard 2>/dev/null || true
[ $status = 0 ] || fail "SIGTERM during the start-up download did not close the program within a second ($status)"
kill -9 $stall; wait $stall 2>/dev/null || true
echo "program lifecycle: all passed"
