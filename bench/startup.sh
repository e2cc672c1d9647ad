#!/usr/bin/env bash
# Start-up of the reference payload's setup program (../shared/bench/gen_payload.sh, 60 MiB,
# packaged as a vendor's product, as bench/lifecycle.sh does): the time from the process start
# to the language dialog on the screen, beside the bare start of a trivial program under Wine,
# all in one run and one prefix. Three programs:
#   this tree      the PRODUCT body decoded in the background
#   table hidden   the same program with its "PRODUCTTABLE" resource hidden
#                  (bench/lifecycle/hide_resource.py): it then decodes the body on the main
#                  thread before anything else, as every program did before the table copy
#   BASE           when a commit is given, the vendor Setup.exe built from `git archive BASE`
#
#   bench/startup.sh BUILD_DIR [BASE]
#   REPS=N (default 5): medians of N starts of each, taken in turn
#   BASE_TREE=DIR: build BASE from this clean checkout of it instead (its objects are then
#                  likely in the compiler cache already); its tracked build inputs must be
#                  unchanged
#
# Each start pays Wine's process start as a user's does (no wineserver running before it);
# the program is ended once its dialog is seen. Needs an X display (xvfb-run when none).
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi
export LC_ALL=C

BUILD=$(mkdir -p "${1:?usage: startup.sh BUILD_DIR [BASE]}" && cd "$1" && pwd)
BASE=${2:-}
ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
HERE=$ROOT/bench/lifecycle
WORK=$BUILD/bench/startup
REPS=${REPS:-5}
mkdir -p "$WORK"
# The host tools' sub-build (ExternalProject) takes its parallelism from here.
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-2}
# shellcheck source=payload.bash
source "$ROOT/bench/payload.bash"
PAYLOAD=$(ensure_payload "$BUILD")

say() { printf 'startup %s\n' "$*"; }
fail() { printf 'startup FAILED: %s\n' "$*" >&2; exit 1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
  END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# --------------------------------------------------------------------------- the two Setup.exe
python3 "$HERE/make_setup_data.py" "$ROOT/sample/setup" "$PAYLOAD" "$WORK/setup" >"$WORK/setup-data.log"

# build_vendor TREE DIR: the vendor's Setup.exe of the tree TREE, built in DIR.
build_vendor() {
  local tree=$1 dir=$2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$tree/bench/lifecycle" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DNOLU_TREE="$tree" -DVENDOR_SETUP_DIR="$WORK/setup" -DVENDOR_PRODUCT_DIR="$PAYLOAD" \
      >"$dir.configure.log" 2>&1 || { tail -20 "$dir.configure.log" >&2; fail "configure $tree"; }
  fi
  cmake --build "$dir" --target VendorSetup -j "${JOBS:-2}" >"$dir.build.log" 2>&1 ||
    { grep -E -A8 'error|FAILED' "$dir.build.log" | head -40 >&2; fail "build of $tree"; }
  [ -f "$dir/Setup.exe" ] || fail "no Setup.exe in $dir"
}

build_vendor "$ROOT" "$WORK/vendor"
AFTER=$WORK/vendor/Setup.exe
HIDDEN=$WORK/vendor/Setup-table-hidden.exe
python3 "$HERE/hide_resource.py" "$AFTER" PRODUCTTABLE "$HIDDEN"
BEFORE=
if [ -n "$BASE" ]; then
  BASE_COMMIT=$(git -C "$ROOT" rev-parse --verify "$BASE^{commit}") || fail "no commit $BASE"
  if [ -n "${BASE_TREE:-}" ]; then
    [ "$(git -C "$BASE_TREE" rev-parse HEAD)" = "$BASE_COMMIT" ] ||
      fail "$BASE_TREE is not at $BASE ($BASE_COMMIT)"
    [ -z "$(git -C "$BASE_TREE" status --porcelain -- CMakeLists.txt cmake src sample bench tools)" ] ||
      fail "$BASE_TREE has changes of its build inputs"
  else
    BASE_TREE=$WORK/base-$BASE_COMMIT
    if [ ! -d "$BASE_TREE" ]; then
      rm -rf "$BASE_TREE.partial" && mkdir -p "$BASE_TREE.partial"
      git -C "$ROOT" archive "$BASE_COMMIT" | tar -x -C "$BASE_TREE.partial"
      mv "$BASE_TREE.partial" "$BASE_TREE"
    fi
  fi
  build_vendor "$BASE_TREE" "$WORK/vendor-base-$BASE_COMMIT"
  BEFORE=$WORK/vendor-base-$BASE_COMMIT/Setup.exe
fi
say "payload $(find "$PAYLOAD" -type f | wc -l) files; Setup.exe $(( $(stat -c %s "$AFTER") / 1048576 )) MiB${BASE:+; base $BASE (${BASE_COMMIT:0:10})}"

# --------------------------------------------------------------------------- the starts
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w

# to_dialog EXE: seconds from the start to the language dialog.
to_dialog() {
  local out seconds
  wineserver -w
  out=$(python3 "$HERE/window_probe.py" "Select Language" wine "$1")
  wineserver -k >/dev/null 2>&1 || true
  seconds=$(echo "$out" | awk '$1 == "window_s" { print $2 }')
  case $seconds in -1.000|'') fail "no language dialog from $1 ($(echo "$out" | tr '\n' ' '))" ;; esac
  echo "$seconds"
}

bare_start() {
  local t
  wineserver -w
  t=$EPOCHREALTIME
  wine cmd.exe /c exit 0 >/dev/null 2>&1 || fail "wine cmd.exe /c exit 0"
  awk -v a="$t" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
}

afters=() hiddens=() befores=() bares=()
for _ in $(seq "$REPS"); do
  afters+=("$(to_dialog "$AFTER")")
  hiddens+=("$(to_dialog "$HIDDEN")")
  [ -z "$BEFORE" ] || befores+=("$(to_dialog "$BEFORE")")
  bares+=("$(bare_start)")
done
wineserver -k >/dev/null 2>&1 || true

a=$(median "${afters[@]}") h=$(median "${hiddens[@]}") bare=$(median "${bares[@]}")
awk -v a="$a" -v h="$h" -v bare="$bare" 'BEGIN {
  printf "startup to_language_dialog_s %.2f (table hidden, body decoded first: %.2f; ratio %.2f)\n", a, h, a / h
  printf "startup bare_wine_process_s  %.2f (wine cmd.exe /c exit 0)\n", bare
  printf "startup beyond_the_bare_start_s %.2f (table hidden: %.2f)\n", a - bare, h - bare
}'
if [ -n "$BEFORE" ]; then
  b=$(median "${befores[@]}")
  awk -v a="$a" -v b="$b" -v bare="$bare" -v base="$BASE" 'BEGIN {
    printf "startup %s_to_language_dialog_s %.2f (this tree / that %.2f; beyond the bare start %.2f)\n", base, b, a / b, b - bare
  }'
fi
printf 'startup (medians of %d starts each, taken in turn; lower is better)\n' "$REPS"
printf 'startup runs: this tree %s | table hidden %s | %s %s | bare %s\n' "${afters[*]}" \
  "${hiddens[*]}" "${BASE:-no base}" "${befores[*]:-}" "${bares[*]}"
