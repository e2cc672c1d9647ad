#!/usr/bin/env bash
# zip.sh [BUILD_DIR]
#
# Backup speed: our zip writer (bench/zip_bench.cpp, Deflate level 6) against Info-ZIP's
# `zip -r -6` on the same reference payload (../shared/bench/gen_payload.sh, 60 MiB) in the same
# run; five alternating runs each, medians. Prints MiB/s of both, the speed ratio (target
# >= 0.90) and the archive size ratio. BUILD_DIR is a host-release build folder (default
# build/host-release, configured and built here when zip_bench is missing).
# NOLU_BENCH_PAYLOAD=DIR uses an existing payload tree instead of generating one.
# NOLU_ZIP_PROGRAM=NAME (a program of BUILD_DIR/bin taking FOLDER ARCHIVE) and NOLU_ZIP_LABEL
# measure another writer of the same archive the same way (bench/backup.sh).
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
BUILD=${1:-$ROOT/build/host-release}
RUNS=5
PROGRAM=${NOLU_ZIP_PROGRAM:-zip_bench}
LABEL=${NOLU_ZIP_LABEL:-zip writer (level 6)}

if [ ! -x "$BUILD/bin/$PROGRAM" ]; then
  (cd "$ROOT" && cmake --preset host-release >/dev/null &&
    cmake --build "$BUILD" --target "$PROGRAM" >/dev/null)
fi
command -v zip >/dev/null || { echo "zip.sh: needs Info-ZIP's zip (apt-get install zip)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PAYLOAD=${NOLU_BENCH_PAYLOAD:-}
if [ -z "$PAYLOAD" ]; then
  PAYLOAD=$WORK/payload
  bash "$ROOT/../shared/bench/gen_payload.sh" 60 "$PAYLOAD" >/dev/null
fi
PAYLOAD=$(cd "$PAYLOAD" && pwd)
# Both read from the page cache.
find "$PAYLOAD" -type f -exec cat {} + >/dev/null

now() { echo "$EPOCHREALTIME"; }
ours=() theirs=()
for _ in $(seq $RUNS); do
  rm -f "$WORK/ours.zip" "$WORK/theirs.zip"
  t0=$(now); "$BUILD/bin/$PROGRAM" "$PAYLOAD" "$WORK/ours.zip" >/dev/null; t1=$(now)
  (cd "$PAYLOAD" && zip -q -r -6 "$WORK/theirs.zip" .); t2=$(now)
  ours+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
  theirs+=("$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')")
done
unzip -tq "$WORK/ours.zip" >/dev/null || { echo "zip.sh: our archive does not test clean" >&2; exit 1; }

median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
BYTES=$(find "$PAYLOAD" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
T_OURS=$(median "${ours[@]}")
T_ZIP=$(median "${theirs[@]}")
S_OURS=$(stat -c %s "$WORK/ours.zip")
S_ZIP=$(stat -c %s "$WORK/theirs.zip")
awk -v label="$LABEL" -v b="$BYTES" -v to="$T_OURS" -v tz="$T_ZIP" -v so="$S_OURS" -v sz="$S_ZIP" 'BEGIN {
  mib = 1048576
  printf "zip payload: %.1f MiB\n", b / mib
  printf "%s: %6.2f s  %6.1f MiB/s  archive %.2f MiB\n", label, to, b / mib / to, so / mib
  printf "zip -r -6 (Info-ZIP): %6.2f s  %6.1f MiB/s  archive %.2f MiB\n", tz, b / mib / tz, sz / mib
  printf "zip speed ratio (ours / Info-ZIP): %.2f (target >= 0.90)\n", tz / to
  printf "zip size ratio (ours / Info-ZIP): %.3f\n", so / sz
}'
