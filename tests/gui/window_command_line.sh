#!/usr/bin/env bash
# The window's program asked for help or its version, or called wrongly, from a terminal with no
# display: it answers at once, without a window and without a running instance.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Each case: arguments, expected status, a line standard output holds, a line standard error holds
# ("-" for an empty stream).
while IFS='|' read -r arguments expected outLine errLine; do
  status=0
  # shellcheck disable=SC2086  # the arguments are split on purpose
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program" $arguments \
    >"$home/out" 2>"$home/err" || status=$?
  [ "$status" = "$expected" ] || fail "vantrel $arguments ended with $status, not $expected: $(cat "$home/err")"
  for stream in out err; do
    line=$outLine; [ $stream = err ] && line=$errLine
    if [ "$line" = - ]; then
      [ ! -s "$home/$stream" ] || fail "vantrel $arguments wrote to std$stream: $(cat "$home/$stream")"
    else
      grep -qF -- "$line" "$home/$stream" || fail "vantrel $arguments: no '$line' in std$stream: $(cat "$home/$stream")"
    fi
  done
done <<'CASES'
--version|0|vantrel 3.2.5|-
-V|0|vantrel 3.2.5|-
--help|0|  -V, --version|-
-h|0|usage: vantrel [--] [FILE...]|-
photo.jpg --help|0|usage: vantrel|-
--frobnicate|2|-|unknown option --frobnicate
-x photo.jpg|2|-|usage: vantrel [--] [FILE...]
CASES
[ ! -e "$XDG_RUNTIME_DIR/Vantrel_Multi" ] || fail "an answer to an option left an instance socket"
echo "window command line: all passed"
