#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Without a display it runs under a
# virtual one and writes a screenshot of the window to the file it names.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps.sh build
scripts/build.sh
program=build/bin/vantrel

if [ -n "${DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

screenshot=${VANTREL_SCREENSHOT:-$PWD/build/screenshot.png}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
"$program" "$@" &
app=$!
sleep "${VANTREL_SCREENSHOT_DELAY:-4}"
import -window root "$screenshot" && echo "Screenshot of the window: $screenshot"
if [ -n "${VANTREL_RUN_SECONDS:-}" ]; then
  sleep "$VANTREL_RUN_SECONDS"
  kill -TERM "$app" 2>/dev/null || true
fi
wait "$app"
