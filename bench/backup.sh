#!/usr/bin/env bash
# backup.sh [BUILD_DIR]
#
# Backup speed of the preparation action: the reference payload backed up as the action does it
# (bench/backup_bench.cpp: backup list, files opened through the platform, TSetupBackupArchive)
# against Info-ZIP's `zip -r -6` on the same tree in the same run (target >= 0.90), and the
# archive size ratio. The measuring is bench/zip.sh's; see there for BUILD_DIR and
# NOLU_BENCH_PAYLOAD.
set -euo pipefail
HERE=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
NOLU_ZIP_PROGRAM=backup_bench NOLU_ZIP_LABEL="backup action" exec bash "$HERE/zip.sh" "$@"
