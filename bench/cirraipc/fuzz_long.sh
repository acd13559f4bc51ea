#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# bench/cirraipc/fuzz_long.sh [SECONDS] [BUILD_DIR]
# Runs the record and frame mutation fuzzer longer than CI does (default one
# hour), with a seed from the clock; a failure prints its seed and input.
set -euo pipefail
seconds=${1:-3600}
build=${2:-build}
seed=${KZ_FUZZ_SEED:-$(date +%s)}
echo "fuzz: ${seconds}s, seed ${seed}"
KZ_FUZZ_SECONDS=$seconds KZ_FUZZ_SEED=$seed QT_QPA_PLATFORM=offscreen "$build/bin/tst_cirrafuzz"
