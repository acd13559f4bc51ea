#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# ./test.sh               install what is missing, build, run every test
# ./test.sh --sanitize    the same tests in an ASan+UBSan build (build-asan/)
# Extra arguments after the mode go to ctest (for example -R workarea).
set -euo pipefail
cd "$(dirname "$0")"

build=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKZ_SANITIZE=OFF)
if [[ ${1:-} == --sanitize ]]; then
    shift
    build=build-asan
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DKZ_SANITIZE=ON -DKZ_BUILD_BENCH=OFF)
fi

scripts/deps.sh
jobs=$(nproc)
cmake -S . -B "$build" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs" "$@"
