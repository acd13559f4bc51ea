#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# scripts/bench.sh [--quick] [--build DIR] [--no-build] [FILTER]
#
# Builds the benchmark programs if needed, runs every one of them (the list
# is bench/benchmarks.txt in the build tree) and prints one table of the
# ratios they report, each measured run against its baseline run side by
# side. FILTER (a regular expression) picks programs by name.
#   --quick     smoke run: minimal time per benchmark, one repetition, the
#               largest sizes left out; the ratios say little, but every
#               program runs to its end
#   --build     the build tree (default: build/ next to this script's folder)
#   --no-build  run what is built
# Each program runs with a profile of its own under a temporary folder and
# the offscreen platform. Exits non-zero when a program fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
quick=0
do_build=1
filter=.
while [[ $# -gt 0 ]]; do
    case $1 in
    --quick) quick=1 ;;
    --build) build=$(cd "$2" && pwd); shift ;;
    --no-build) do_build=0 ;;
    -h | --help) sed -n '4,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) filter=$1 ;;
    esac
    shift
done

list=$build/bench/benchmarks.txt
if [[ ! -f $list ]]; then
    echo "bench.sh: $list is missing: configure $build with -DKZ_BUILD_BENCH=ON and Google Benchmark" >&2
    exit 1
fi
mapfile -t entries < <(grep -E "^[^ ]*(${filter})[^ ]* " "$list" || true)
if [[ ${#entries[@]} -eq 0 ]]; then
    echo "bench.sh: no benchmark matches '$filter'" >&2
    exit 1
fi
if [[ $do_build -eq 1 ]]; then
    # cirrad and the plug-in are started by some of the programs.
    targets=(cirrad kzelvaworkarea)
    for entry in "${entries[@]}"; do targets+=("${entry%% *}"); done
    cmake --build "$build" --target "${targets[@]}" >/dev/null
fi

args=()
if [[ $quick -eq 1 ]]; then
    # The largest sizes (1000 tabs, 16 KiB messages, 1000 and 10000 simulated
    # devices) are left out: their set-up alone takes longer than the run is meant to.
    args=(--benchmark_min_time=0.0001 --benchmark_repetitions=1 '--benchmark_filter=-/(1000|10000|16384)(/|$)')
fi
work=$(mktemp -d /tmp/kzbench.XXXXXX)
trap 'rm -rf "$work"' EXIT

table=$work/ratios
failed=0
for entry in "${entries[@]}"; do
    name=${entry%% *}
    program=${entry#* }
    profile=$work/$name
    mkdir -p "$profile"/home "$profile"/config "$profile"/cache "$profile"/runtime
    chmod 700 "$profile"/runtime
    echo "== $name" >&2
    if ! (cd "$profile" && env QT_QPA_PLATFORM=offscreen KZ_BIN_DIR="$build/bin" KZ_LIB_DIR="$build/lib" \
        KZ_SOURCE_DIR="$root" KZELVA_PROFILE_DIR="$profile" HOME="$profile/home" \
        XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache" XDG_RUNTIME_DIR="$profile/runtime" \
        "$program" "${args[@]}") >"$profile/out" 2>"$profile/err"; then
        echo "bench.sh: $name failed:" >&2
        tail -n 20 "$profile/err" >&2
        failed=1
        continue
    fi
    # The ratio lines follow the "measured / baseline" header of each program.
    awk -v program="$name" '
        /^measured \/ baseline/ { on = 1; next }
        on && NF >= 4 && $NF ~ /^[0-9.]+x$/ {
            label = $1
            for (i = 2; i <= NF - 3; ++i) label = label " " $i
            printf "%-24s %-56s %14s %14s %8s\n", program, label, $(NF - 2), $(NF - 1), $NF
        }
    ' "$profile/out" >>"$table"
done

printf '\n%-24s %-56s %14s %14s %8s\n' program "measured vs baseline (same unit)" measured baseline ratio
cat "$table" 2>/dev/null || true
exit $failed
