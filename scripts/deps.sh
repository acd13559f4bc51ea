#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# Installs the Debian packages the build, the demo and the tests use, when
# any of them is missing. Needs root (or sudo) only when something is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config git ca-certificates
    qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libxcb1-dev
    libqt5websockets5-dev libqt5webchannel5-dev qtwebengine5-dev
    thrift-compiler libthrift-dev libboost-dev
    libjsoncpp-dev libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-thrift
    clang-format xvfb xauth fonts-dejavu-core fonts-noto-color-emoji
    chromium nodejs
    mosquitto mosquitto-clients libmosquitto-dev openssl libssl-dev
)
# Browser tests (tests/pages): Debian's nodejs needs the npm package; some
# nodejs builds carry npm themselves and conflict with it.
if ! command -v npm >/dev/null 2>&1; then
    PACKAGES+=(npm)
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=()
if [[ $(id -u) -ne 0 ]]; then
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
