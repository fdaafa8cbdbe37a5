#!/usr/bin/env bash
# Runs a window test on a private bus that carries a fake login manager and notification service;
# the program reaches the login manager through it as if it were the system bus.
set -euo pipefail
test_program=$1
here=$(cd "$(dirname "$0")" && pwd)
export VANTREL_FAKE_BUS_LOG=$(mktemp)
trap 'rm -f "$VANTREL_FAKE_BUS_LOG"' EXIT
dbus-run-session -- bash -c '
  /usr/bin/python3 "$1" "$VANTREL_FAKE_BUS_LOG" --click > "$VANTREL_FAKE_BUS_LOG.ready" &
  fake=$!
  for _ in $(seq 100); do grep -q READY "$VANTREL_FAKE_BUS_LOG.ready" 2>/dev/null && break; sleep 0.1; done
  DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS "$2"
  status=$?
  kill $fake; rm -f "$VANTREL_FAKE_BUS_LOG.ready"
  exit $status' bash "$here/fake_desktop_bus.py" "$test_program"
