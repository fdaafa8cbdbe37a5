#!/usr/bin/env bash
# Installs what is missing, builds, starts the local stand-in for the service and the program
# against it. Without a display the program runs under a virtual one and a screenshot of the
# window is written to the file this script names. The program runs in a home of its own
# (build/demo/home) whose Pictures folder holds eight camera-like sample photos, so the whole road
# of a photo can be tried at once without touching the user's own settings and transfer list.
#   VANTREL_DEMO_HOME=DIR         another home for the demo (kept between runs)
#   VANTREL_SCREENSHOT=FILE       where the screenshot goes (default build/screenshot.png)
#   VANTREL_RUN_SECONDS=N         without a display: close the program after N more seconds
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps.sh build
scripts/build.sh
program=$PWD/build/bin/vantrel

demo_home=${VANTREL_DEMO_HOME:-$PWD/build/demo/home}
/usr/bin/python3 tools/demo-photos/make_demo_photos.py "$demo_home/Pictures"
export HOME=$demo_home XDG_CONFIG_HOME=$demo_home/.config XDG_DATA_HOME=$demo_home/.local/share \
       XDG_CACHE_HOME=$demo_home/.cache

# The stand-in service: settings document, XML-RPC endpoint and FTP server on loopback.
service_root=${VANTREL_SERVICE_ROOT:-$PWD/build/standin}
mkdir -p "$service_root"
ready=$(mktemp)
/usr/bin/python3 tools/standin-service/standin.py --root "$service_root" >"$ready" 2>"$service_root/service.log" &
service=$!
cleanup() { kill "$service" 2>/dev/null || true; [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true; rm -f "$ready"; }
trap cleanup EXIT
for _ in $(seq 100); do grep -q READY "$ready" && break; sleep 0.1; done
http_port=$(sed -n 's/^READY http=\([0-9]*\).*/\1/p' "$ready")
[ -n "$http_port" ] || { echo "The stand-in service did not start; see $service_root/service.log"; exit 1; }
export VANTREL_SETTINGS_BASE="http://127.0.0.1:$http_port/common/,http://127.0.0.1:$http_port/sg/common/"
# The last lines this script prints: what the user needs to try a send.
demo_account() {
  cat <<MSG

The stand-in service runs on http://127.0.0.1:$http_port/.
  Sample photos (the window opens on them): $demo_home/Pictures/
  Log in on the transfer page with:         demo@vantrel.test / demo
  Uploaded photos arrive in:                $service_root/ftp/
MSG
}

if [ -n "${DISPLAY:-}" ]; then
  demo_account
  "$program" "$@"
  exit
fi

screenshot=${VANTREL_SCREENSHOT:-$PWD/build/screenshot.png}
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
"$program" "$@" &
app=$!
sleep "${VANTREL_SCREENSHOT_DELAY:-4}"
import -window root "$screenshot" && echo "Screenshot of the window: $screenshot"
demo_account
if [ -n "${VANTREL_RUN_SECONDS:-}" ]; then
  sleep "$VANTREL_RUN_SECONDS"
  kill -TERM "$app" 2>/dev/null || true
fi
wait "$app"
