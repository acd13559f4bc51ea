#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# ./run.sh [--profile DIR] [--devices N] [shell arguments...]
# Installs what is missing, builds, and starts the demo shell with the
# work-area plug-in (and the local cloud service, when built) in a temporary
# profile, or in DIR when --profile is given (kept between runs).
# --devices N starts N shells, each its own device of the same user.
# Without a display the shell runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

profile=""
devices=1
args=()
while (($#)); do
    case $1 in
        --profile) profile=$2; shift 2 ;;
        --devices) devices=$2; shift 2 ;;
        *) args+=("$1"); shift ;;
    esac
done

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [[ -z $profile ]]; then
    profile=$(mktemp -d /tmp/zelva-profile.XXXXXX)
    tmp_profile=$profile
    trap 'rm -rf "$tmp_profile"' EXIT
fi
mkdir -p "$profile"
export KZELVA_PROFILE_DIR=$profile
export XDG_CONFIG_HOME=$profile/config XDG_CACHE_HOME=$profile/cache
export XDG_RUNTIME_DIR=$profile/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
echo "run: profile $profile"

launcher=()
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "run: no display, starting under Xvfb"
    launcher=(xvfb-run -a -s "-screen 0 1280x800x24")
fi

if [[ -x build/bin/cirrad ]]; then
    build/bin/cirrad --detach >/dev/null 2>&1 || true
    trap 'build/bin/cirrad --control shutdown >/dev/null 2>&1 || true; rm -rf "${tmp_profile:-}"' EXIT
fi

pids=()
for ((i = 1; i <= devices; i++)); do
    device_args=()
    if ((devices > 1)); then
        device_args=(--device-id "device-$i" --device-name "Device $i"
                     --automation "$XDG_RUNTIME_DIR/zelvashell-device-$i.sock")
    fi
    "${launcher[@]}" build/bin/zelvashell "${device_args[@]}" "${args[@]}" &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=$?
done
exit $status
