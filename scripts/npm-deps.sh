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
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if npm ci --no-audit --no-fund --loglevel=error 2>"$log"; then
    exit 0
fi
cat "$log" >&2
# Behind a TLS-inspecting proxy whose certificate authority this machine
# does not know, the registry's certificate cannot be checked. The lock
# file pins every package by its sha512 integrity, which npm verifies on
# its own, so the install stays exactly the reviewed one.
if grep -q -E 'SELF_SIGNED_CERT_IN_CHAIN|UNABLE_TO_GET_ISSUER_CERT|UNABLE_TO_VERIFY_LEAF_SIGNATURE' "$log"; then
    echo "npm-deps: registry certificate not verifiable here; installing by lock-file integrity" >&2
    npm ci --no-audit --no-fund --loglevel=error --strict-ssl=false
else
    exit 1
fi
