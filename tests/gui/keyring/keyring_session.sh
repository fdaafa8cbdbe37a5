#!/usr/bin/env bash
# Runs the keyring test program on private session buses: with gnome-keyring's Secret Service and
# a login keyring made for the test (the last slot locks it), with a keyring that never answers,
# and without a keyring, on a bus and with no bus at all.
set -euo pipefail
test_program=$1
if ! command -v dbus-run-session >/dev/null; then
  echo "SKIPPED: dbus-run-session is missing (Debian's dbus-daemon); scripts/setup-deps.sh installs it"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/home" "$scratch/run"
# Nothing of the user's desktop: no display for an unlock prompt, no desktop that would choose
# another keyring, and the keyring files in the scratch folder.
unset DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_SESSION_VERSION \
  KDE_FULL_SESSION GNOME_KEYRING_CONTROL DBUS_SESSION_BUS_ADDRESS
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run XDG_DATA_HOME=$scratch/home/.local/share \
  XDG_CONFIG_HOME=$scratch/home/.config XDG_CACHE_HOME=$scratch/home/.cache

# A bus that activates no services, so that an installed keyring daemon is not started on it.
cat > "$scratch/bare-bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

echo "== with gnome-keyring's Secret Service"
dbus-run-session -- bash -c '
  # The daemon makes the login keyring with the password it reads and leaves it unlocked.
  gnome-keyring-daemon --foreground --unlock --components=secrets < <(echo -n test-login) >/dev/null &
  daemon=$!
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.secrets 2>/dev/null | grep -q "boolean true" && break
    sleep 0.1
  done
  status=0
  # The slot that locks the keyring comes last.
  "$1" theEntryFollowsWritesAndRemovals theWindowKeepsThePasswordInTheKeyring \
    aLockedKeyringLeavesThePasswordScrambled || status=$?
  kill $daemon
  exit $status' bash "$test_program"

echo "== with a keyring that never answers"
# It takes the keyring's name on a bus that activates nothing, and leaves every call unanswered.
dbus-run-session --config-file="$scratch/bare-bus.conf" -- bash -c '
  /usr/bin/python3 -c "
import dbus, time
dbus.SessionBus().request_name(\"org.freedesktop.secrets\")
print(\"READY\", flush=True)
time.sleep(600)" > "$2" &
  silent=$!
  for _ in $(seq 100); do grep -q READY "$2" 2>/dev/null && break; sleep 0.1; done
  status=0
  "$1" aStopEndsTheWaitOnASilentKeyring aSignalEndsTheWindowsWaitOnASilentKeyring || status=$?
  kill $silent
  exit $status' bash "$test_program" "$scratch/silent.ready"

echo "== without a session bus"
VANTREL_TEST_BUS=none DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/vantrel-no-bus \
  "$test_program" withoutAKeyringThePasswordStaysScrambled

echo "== on a session bus without a keyring"
VANTREL_TEST_BUS=bare dbus-run-session --config-file="$scratch/bare-bus.conf" -- \
  "$test_program" withoutAKeyringThePasswordStaysScrambled
