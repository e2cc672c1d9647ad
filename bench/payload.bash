# Sourced by the benchmark scripts (not a benchmark itself: bench/run.sh runs *.sh only).
#
# ensure_payload BUILD_DIR: prints the folder of the reference payload
# (../shared/bench/gen_payload.sh, 60 MiB), made once per build folder and shared by the
# scripts that use it.
ensure_payload() {
  local build=$1 gen
  gen=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/../shared/bench/gen_payload.sh
  if [ ! -f "$build/bench/payload.ready" ]; then
    [ -x "$gen" ] || { echo "no payload generator at $gen" >&2; return 1; }
    rm -rf "$build/bench/payload"
    mkdir -p "$build/bench"
    "$gen" 60 "$build/bench/payload" | sed 's/^/payload: /' >&2
    touch "$build/bench/payload.ready"
  fi
  echo "$build/bench/payload"
}
