#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# scripts/fuzz_inputs.sh [seconds per reader=600] [build dir=build]
# Runs the mutation fuzzing of the INI, settings node, page-argument,
# broadcast-line and bridge-message readers longer than CI does, with a seed from the clock; a
# failure prints its seed and input. Use build-asan for the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build}
seed=${KZ_FUZZ_SEED:-$(date +%s)}
echo "fuzz: ${seconds}s per reader, seed ${seed}"
KZ_FUZZ_SECONDS=$seconds KZ_FUZZ_SEED=$seed QT_QPA_PLATFORM=offscreen "$build/bin/tst_inputfuzz"
