#!/bin/sh
# SPDX-FileCopyrightText: 2026 NxSerialFilter developers
# SPDX-License-Identifier: MIT
# The dialog's whole OK path next to react-querybuilder's formatQuery(q, 'sql'), per row, in
# one run. Not part of ./run test: it needs Node and, once, "npm install" in bench/peer.
#   bench/okpath_vs_peer.sh <build dir> [rows ...]
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
shift || true
sizes=${*:-500}
filter=$(printf 'BM_(CreateSql(Serial|Common)|ComposeConditionText)/(%s)$' "$(echo $sizes | tr ' ' '|')")
# Time and CPU per iteration divided by the rows give the figures to compare.
"$build/bin/bench_sqlbuilder" --benchmark_filter="$filter" --benchmark_counters_tabular=true
[ -d "$here/peer/node_modules" ] || (cd "$here/peer" && npm install --no-audit --no-fund)
node "$here/peer/formatquery.mjs" $sizes
