#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# scripts/format-check.sh [SOURCE_DIR]
# Checks the C++ lines the last commit changed against .clang-format (lines
# nobody touched are never asked to change). Prints what clang-format would
# change and fails when that is anything. Skips (exit 77) without git or
# without a parent commit.
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"
skip=77
if ! command -v git >/dev/null 2>&1 || ! git rev-parse --git-dir >/dev/null 2>&1; then
    echo "format-check: no git repository here, nothing to check"
    exit $skip
fi
if ! git rev-parse --verify --quiet HEAD~1 >/dev/null; then
    echo "format-check: the last commit has no parent, nothing to compare"
    exit $skip
fi
# The last commit's diff with renames followed, so that a moved file only
# counts the lines that changed in it; clang-format-diff formats just those.
tool=$(command -v clang-format-diff || command -v clang-format-diff-14 || true)
if [[ -z $tool ]]; then
    echo "format-check: clang-format-diff is missing (package clang-format)"
    exit 1
fi
out=$(git diff -M -U0 --no-color HEAD~1 HEAD -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | "$tool" -p1 2>&1)
case $out in
"")
    echo "format-check: the last commit's C++ lines follow .clang-format"
    exit 0
    ;;
esac
echo "$out"
echo "format-check: the last commit changed lines that clang-format would format differently" \
    "(git clang-format after staging formats just the lines you changed)"
exit 1
