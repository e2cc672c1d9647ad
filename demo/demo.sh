#!/usr/bin/env bash
# The sample product's life cycle under Wine: install, update, removal (see demo.py).
#   demo/demo.sh BUILD_DIR     (./run demo builds the Windows build and prepares the prefix)
set -euo pipefail
exec python3 "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/demo.py" "${1:?usage: demo.sh BUILD_DIR}"
