#!/usr/bin/env bash
# A whole run over a home link: `vantrel-cli send` reaches the loopback stand-in through its own
# proxy setting, a CONNECT proxy that holds every byte for a delay in each direction and shares an
# upstream rate between all connections. Four camera photos (two of 24 MP, two of 12 MP).
# Beside it: the stored bytes divided by the rate (the link's floor), and curl uploading the
# same files one after the other on one connection through the same proxy (curl -p -x).
# Two profiles: 25 ms each way at 5 MB/s, and 50 ms each way at 2 MB/s.
# Then, on the first profile, a 20 MB photo whose store is cut at 80 %: the bytes that went over
# the link twice, as a share of the photo; and the four photos under `send --limit-rate 1000`
# on a link faster than that: the run's average rate against 1 MB/s.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

PHOTOS=()
for seed in 1 2; do
  make_photo "$OUT/photo24-$seed.jpg" 6000 4000 "$seed"
  make_photo "$OUT/photo12-$seed.jpg" 4000 3000 "$((seed + 10))"
  PHOTOS+=("$OUT/photo24-$seed.jpg" "$OUT/photo12-$seed.jpg")
done

RUN="$OUT/wan"
rm -rf "$RUN"
mkdir -p "$RUN"
standin_pid="" proxy_pid=""
stop_proxy() { [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null; proxy_pid=""; }
trap 'stop_proxy; [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null' EXIT

root="$RUN/standin"
mkdir -p "$root"
/usr/bin/python3 "$ROOT/tools/standin-service/standin.py" --root "$root" --set picture_maxsize=100 >"$root.log" 2>&1 &
standin_pid=$!
for _ in $(seq 100); do grep -q READY "$root.log" && break; sleep 0.1; done
HTTP_PORT=$(sed -n 's/.*http=\([0-9]*\).*/\1/p' "$root.log")
FTP_PORT=$(sed -n 's/.*ftp=\([0-9]*\).*/\1/p' "$root.log")
[ -n "$FTP_PORT" ] || { echo "stand-in did not start"; cat "$root.log"; exit 1; }

# start_proxy DELAY_MS RATE: sets PROXY_PORT, and BYTES_LOG to the tunnels' upstream bytes.
start_proxy() {
  local log="$RUN/proxy-$1-$2"
  BYTES_LOG="$log.bytes"
  rm -f "$BYTES_LOG" "$log.out"  # a profile used before must not show its old READY
  /usr/bin/python3 "$ROOT/tools/standin-service/connect_proxy.py" "$log.targets" --delay "$1" --rate "$2" \
    --bytes-log "$BYTES_LOG" >"$log.out" 2>&1 &
  proxy_pid=$!
  for _ in $(seq 100); do grep -qs READY "$log.out" && break; sleep 0.1; done
  PROXY_PORT=$(awk '{print $2}' "$log.out")
}

# A fresh work folder with the photos of QUEUE queued and the proxy set; prints its data folder.
QUEUE=("${PHOTOS[@]}")
queue_photos() {
  local data="$RUN/data-$1"
  rm -rf "$data"
  mkdir -p "$data/SendPhoto"
  local list=$'0\r\n[Album]\tSummer\r\n' i=0
  for photo in "${QUEUE[@]}"; do
    i=$((i + 1))
    cp "$photo" "$data/SendPhoto/IMG_$i.jpg"
    list+="$data/SendPhoto/IMG_$i.jpg"$'\t'"$data/SendPhoto/IMG_$i.jpg"$'\r\n'
  done
  printf '%s' "$list" >"$data/SendPhoto/Images.lst"
  printf '[Proxy]\r\nIsUsed=1\r\nAddr=127.0.0.1\r\nPort=%s\r\n' "$PROXY_PORT" >"$data/SendPhoto/vantrel.ini"
  echo "$data"
}

# send_run LABEL [SEND OPTIONS...]: seconds of one whole run of the photos of QUEUE.
send_run() {
  local data start end label=$1
  shift
  data=$(queue_photos "$label")
  start=$(date +%s.%N)
  echo demo | XDG_DATA_HOME="$data" \
    VANTREL_SETTINGS_BASE="http://127.0.0.1:$HTTP_PORT/common/,http://127.0.0.1:$HTTP_PORT/sg/common/" \
    ${TRACE:-} "$CLI" send --email demo@vantrel.test --password-stdin "$@" >"$RUN/send-$label.log" 2>&1 ||
    { echo "send failed" >&2; cat "$RUN/send-$label.log" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# curl_all FOLDER: every file of FOLDER uploaded by one curl, one after the other, through the proxy.
delay=${DELAY:-25}; rate=${RATE:-5000000}
start_proxy "$delay" "$rate"
T0=$(/usr/bin/python3 -c "import time; print(time.monotonic())")
ours=$(send_run "$delay" --progress ${SENDOPTS:-})
folder=$(ls -td "$root"/ftp/*_1001 | head -1)
bytes=$(cat "$folder"/* | wc -c)
echo "ours $ours floor $(echo "$bytes / $rate" | bc -l)"
cat "$RUN/send-$delay.log" | grep -v "^Summer" | head -40
curl -s "http://127.0.0.1:$HTTP_PORT/control/commands" | /usr/bin/python3 -c '
import json,sys
c=json.load(sys.stdin); t0=float(sys.argv[1])
for e in c: print("%7.3f s%d %s"%(e["at"]-t0, e["session"], e["line"]))' $T0
