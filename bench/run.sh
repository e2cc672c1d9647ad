#!/usr/bin/env bash
# Runs every benchmark script beside this one: bench/run.sh BUILD_DIR (a host-release build).
# Benchmarks print figures and never fail a test run; a failing script is reported here.
set -uo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
status=0
for script in "$HERE"/*.sh; do
  [ "$(basename "$script")" = run.sh ] && continue
  printf '== bench %s\n' "$(basename "$script" .sh)"
  bash "$script" "$@" || { printf '== bench %s failed\n' "$(basename "$script" .sh)"; status=1; }
done
exit $status
