#!/usr/bin/env bash
# Life cycle of the reference payload (../shared/bench/gen_payload.sh, 60 MiB) packaged as a
# vendor's product: the silent install, the update (a second install over it, with its backup)
# and the silent uninstall under Wine, beside the NSIS peer (../shared/bench/nsis-peer.sh) on
# the same payload in the same run; the startup time to the first file written; the peak
# working set of Setup.exe.
#
#   bench/lifecycle.sh BUILD_DIR   (./run bench passes its host-release build; only its bench/
#                                   work area is used: the vendor's Setup.exe is a cross build
#                                   of bench/lifecycle/CMakeLists.txt made here)
#   REPS=N (default 3): medians of N cycles
#
# Both programs are timed the same way: no wineserver running before each program (so both
# pay Wine's process start), an uninstall ends when the caller's wait has returned and the
# product folder is gone. The product
# folder has no blanks: `wine PROG ARG` quotes an argument with blanks whole, which the NSIS
# program reads and ours, as Windows programs do with "/AUTO=...", does not.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi
export LC_ALL=C

BUILD=$(mkdir -p "${1:?usage: lifecycle.sh BUILD_DIR}" && cd "$1" && pwd)
ROOT=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
HERE=$ROOT/bench/lifecycle
WORK=$BUILD/bench/lifecycle
REPS=${REPS:-3}
mkdir -p "$WORK"
# shellcheck source=payload.bash
source "$ROOT/bench/payload.bash"
PAYLOAD=$(ensure_payload "$BUILD")

say() { printf 'lifecycle %s\n' "$*"; }
fail() { printf 'lifecycle FAILED: %s\n' "$*" >&2; exit 1; }
now() { echo "$EPOCHREALTIME"; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
  END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { awk -v k="$1" '$1 == k { print $2 }'; }

# --------------------------------------------------------------------------- the vendor's Setup.exe
t0=$(now)
python3 "$HERE/make_setup_data.py" "$ROOT/sample/setup" "$PAYLOAD" "$WORK/setup" >"$WORK/setup-data.log"
if [ ! -f "$WORK/vendor/build.ninja" ]; then
  cmake -S "$HERE" -B "$WORK/vendor" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DNOLU_TREE="$ROOT" -DVENDOR_SETUP_DIR="$WORK/setup" -DVENDOR_PRODUCT_DIR="$PAYLOAD" \
    >"$WORK/configure.log" 2>&1 || { tail -20 "$WORK/configure.log" >&2; fail "configure"; }
fi
cmake --build "$WORK/vendor" --target VendorSetup -j "${JOBS:-$(nproc)}" >"$WORK/build.log" 2>&1 ||
  { grep -E -A8 'error|FAILED' "$WORK/build.log" | head -40 >&2; fail "build of Setup.exe"; }
SETUP=$WORK/vendor/Setup.exe
FILES=$(find "$PAYLOAD" -type f | wc -l)
BYTES=$(find "$PAYLOAD" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
awk -v f="$FILES" -v b="$BYTES" -v s="$(stat -c %s "$SETUP")" -v t="$(since "$t0")" 'BEGIN {
  printf "lifecycle payload %d files %.1f MiB; Setup.exe %.1f MiB (made in %.0f s)\n",
         f, b / 1048576, s / 1048576, t }'

# --------------------------------------------------------------------------- our life cycle
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
DEST_WIN='C:\NoluBench'
DEST=$WINEPREFIX/drive_c/NoluBench
INSTALL=(wine "$SETUP" "/AUTO=$DEST_WIN" /SILENT)
UNINSTALL=(wine "$DEST/Uninstall.exe" /AUTO /SILENT)

# The product folder holds every payload file as it was ("Nolu.ini" is the product's
# configuration, which the setup edits): a figure of a broken installation means nothing.
check_installed() {
  local missing=0 rel
  while IFS= read -r rel; do
    [ "$rel" = ./Nolu.ini ] && continue
    cmp -s "$PAYLOAD/$rel" "$DEST/$rel" || { echo "  differs or missing: $rel" >&2; missing=1; }
  done < <(cd "$PAYLOAD" && find . -type f)
  [ -f "$DEST/Uninstall.exe" ] && [ -f "$DEST/Uninstall.dat" ] || missing=1
  [ $missing -eq 0 ] || fail "$1 did not install the payload"
}

run_timed() {
  local t rc=0
  wineserver -w
  t=$(now)
  timeout 600 "$@" >/dev/null 2>&1 || rc=$?
  [ $rc -eq 0 ] || fail "$* exited $rc"
  since "$t"
}

# Ends when the uninstaller has returned (it waits for its copy in the temporary folder, which
# does the removal) and the product folder is gone, as the peer's is timed.
uninstall_timed() {
  local t rc=0
  wineserver -w
  t=$(now)
  (cd "$WORK" && timeout 600 "${UNINSTALL[@]}" >/dev/null 2>&1) || rc=$?
  [ $rc -eq 0 ] || fail "the uninstaller exited $rc"
  local limit=$((SECONDS + 300))
  while [ -e "$DEST" ]; do
    [ $SECONDS -lt $limit ] || fail "the uninstaller left $(find "$DEST" | head -5)"
    sleep 0.01
  done
  since "$t"
}

installs=() updates=() uninstalls=()
for i in $(seq "$REPS"); do
  installs+=("$(run_timed "${INSTALL[@]}")")
  [ "$i" -eq 1 ] && check_installed "the install"
  updates+=("$(run_timed "${INSTALL[@]}")")
  [ "$i" -eq 1 ] && check_installed "the update"
  BACKUP=$(find "$DEST/!Backup" -name '*.zip' -printf '%s %f\n' 2>/dev/null | head -1)
  [ -n "$BACKUP" ] || fail "the update made no backup archive"
  uninstalls+=("$(uninstall_timed)")
done

# One more cycle under the probe, apart from the timed ones: its polling would cost them time.
wineserver -w
PROBE_INSTALL=$(python3 "$HERE/probe.py" "$DEST" "${INSTALL[@]}")
wineserver -w
PROBE_UPDATE=$(python3 "$HERE/probe.py" "$DEST/!Backup" "${INSTALL[@]}")
uninstall_timed >/dev/null
wineserver -w
BARE=$(run_timed wine cmd.exe /c exit 0)
wineserver -w

# --------------------------------------------------------------------------- the peer
PEER=$(REPS=$REPS bash "$ROOT/../shared/bench/nsis-peer.sh" "$PAYLOAD" "$WORK/nsis" 2>&1) ||
  { echo "$PEER" >&2; fail "the NSIS peer"; }
NSIS_INSTALL=$(echo "$PEER" | awk '/silent_install_s/ { print $3 }')
NSIS_UNINSTALL=$(echo "$PEER" | awk '/silent_uninstall_s/ { print $3 }')

# --------------------------------------------------------------------------- figures
awk -v in_="$(median "${installs[@]}")" -v up="$(median "${updates[@]}")" \
    -v un="$(median "${uninstalls[@]}")" -v nin="$NSIS_INSTALL" -v nun="$NSIS_UNINSTALL" \
    -v reps="$REPS" -v backup="${BACKUP%% *}" 'BEGIN {
  printf "lifecycle silent_install_s   %6.2f  (NSIS %5.2f; ours / NSIS %.2f)\n", in_, nin, in_ / nin
  printf "lifecycle silent_update_s    %6.2f  (NSIS has no update: its install %5.2f; ours / that %.2f; backup archive %.1f MiB)\n",
         up, nin, up / nin, backup / 1048576
  printf "lifecycle silent_uninstall_s %6.2f  (NSIS %5.2f; ours / NSIS %.2f)\n", un, nun, un / nun
  printf "lifecycle (medians of %d runs, each with Wine starting its server; lower is better)\n", reps
}'
awk -v first="$(echo "$PROBE_INSTALL" | field first_file_s)" -v bare="$BARE" \
    -v pin="$(echo "$PROBE_INSTALL" | field peak_kib)" \
    -v pup="$(echo "$PROBE_UPDATE" | field peak_kib)" 'BEGIN {
  printf "lifecycle startup_to_first_file_s %.2f (a bare Wine process start: cmd /c exit %.2f)\n", first, bare
  printf "lifecycle peak_working_set_MiB install %.1f update %.1f\n", pin / 1024, pup / 1024
}'
wineserver -k >/dev/null 2>&1 || true
