#!/usr/bin/env bash
# Package benchmark on the reference payload (~60 MiB, product-like): pack, read, extract-all
# and the bare codec on the same bytes, then the peak memory of `setuptool verify`.
#
#   bench/packages.sh BUILD_DIR     (a host-release build; ./run bench passes it)
#   REPS=N (default 3): each figure is the best of N runs
set -euo pipefail
BUILD=$(cd "${1:?usage: packages.sh BUILD_DIR}" && pwd)
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$BUILD/bench/packages
mkdir -p "$WORK"
# shellcheck source=payload.bash
source "$ROOT/bench/payload.bash"
PAYLOAD=$(ensure_payload "$BUILD")

"$BUILD/bin/package_bench" "$PAYLOAD" "$WORK" "${REPS:-3}" | tee "$WORK/figures.txt"

body=$(awk '/packages body_bytes/ {print $3}' "$WORK/figures.txt")
/usr/bin/time -v "$BUILD/bin/setuptool" verify "$WORK/payload.pkg" >/dev/null 2>"$WORK/verify-time.txt"
peak_kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/verify-time.txt")
awk -v peak="$peak_kib" -v body="$body" 'BEGIN {
  limit = body / 1024 + 8 * 1024
  printf "packages verify_peak_KiB %d (body %d KiB + %d KiB; target <= body + 8192 KiB: %s)\n",
         peak, body / 1024, peak - body / 1024, peak <= limit ? "met" : "missed"
}'
