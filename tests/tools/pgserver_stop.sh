#!/bin/bash
# SPDX-FileCopyrightText: 2026 NxSerialFilter developers
# SPDX-License-Identifier: MIT
# A server of tools/pgserver.sh is stopped by pg_stop from a later shell that knows only its
# folder: it used to remove the folder and leave the server running.
set -u
script=$1
source "$script"
_pg_bindir >/dev/null || { echo "no PostgreSQL binaries"; exit 77; }
pg_start 2>/dev/null || { echo "pg_start failed"; exit 1; }
dir=$NXSF_PG_DIR
pid=$(head -n 1 "$dir/data/postmaster.pid")
# Running, not merely a zombie nobody reaped: its command line names the folder.
running() { tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/data"; }
running || { echo "no server process"; pg_stop; exit 1; }
env -u NXSF_PG_BIN -u NXSF_TEST_PG_URL NXSF_PG_DIR="$dir" \
    bash -c 'source "$1" && pg_stop' later "$script"
status=0
if running; then
    echo "the server (process $pid) still runs"
    status=1
fi
[ -d "$dir" ] && { echo "$dir is still there"; status=1; }
# Whatever happened, leave nothing running.
running && kill -INT "$pid"
pg_stop
# ./run test stops its server from an EXIT trap under set -e: a clean stop must leave the
# script's own exit status alone.
if ! bash -c 'set -euo pipefail; source "$1"; pg_start 2>/dev/null; trap pg_stop EXIT; true' \
        trapped "$script"; then
    echo "a clean stop from an EXIT trap under set -e failed the script"
    status=1
fi
exit $status
