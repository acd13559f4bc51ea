#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# Installs the browser tests' npm packages (tests/pages/package-lock.json)
# into tests/pages/node_modules when they are missing or older than the lock
# file. Never downloads a browser: the tests use the system's Chromium.
set -euo pipefail
cd "$(dirname "$0")/../tests/pages"

installed=node_modules/.package-lock.json
# npm writes that file on every install: newer than the lock means current.
if [[ -f $installed && ! package-lock.json -nt $installed ]]; then
    exit 0
fi
echo "npm-deps: installing tests/pages/node_modules"
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
npm ci --no-audit --no-fund --loglevel=error
