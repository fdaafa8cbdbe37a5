#!/usr/bin/env bash
# MD5 of a 1 GB file from the page cache, against md5sum.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

BIG="$OUT/one-gigabyte.bin"
[ -s "$BIG" ] || head -c 1000000000 /dev/urandom >"$BIG"
cat "$BIG" >/dev/null
ours_digest=$("$CLI" md5 "$BIG" | cut -d' ' -f1)
ref_digest=$(md5sum "$BIG" | cut -d' ' -f1)
[ "$ours_digest" = "$ref_digest" ] || { echo "digest mismatch: $ours_digest vs $ref_digest"; exit 1; }
ours=$(best_of 5 "$CLI" md5 "$BIG")
ref=$(best_of 5 md5sum "$BIG")
report "MD5 of 1 GB (time; throughput ratio = 1/ratio)" "$ours" "$ref" "time ratio <= 1.11"
printf 'throughput: ours %.0f MB/s, md5sum %.0f MB/s\n' "$(echo "1000 / $ours" | bc -l)" "$(echo "1000 / $ref" | bc -l)"
