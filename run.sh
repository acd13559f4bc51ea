#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# ./run.sh [--profile DIR] [--devices N] [--machines M] [shell arguments...]
# Installs what is missing, builds, and starts the demo shell with the
# work-area plug-in (and the local cloud service, when built) in a temporary
# profile, or in DIR when --profile is given (kept between runs).
# --devices N starts N shells, each its own device of the same user.
# --machines M (M > 1) plays M machines on this one: a local mosquitto on a
# free loopback port (config, password file and ACL in the profile's
# "broker" folder), M cirrads joined through it, each with its own config
# and runtime folder, and the shells spread over them (docs/federation.md).
# Without a display the shell runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

profile=""
devices=1
machines=1
args=()
while (($#)); do
    case $1 in
        --profile) profile=$2; shift 2 ;;
        --devices) devices=$2; shift 2 ;;
        --machines) machines=$2; shift 2 ;;
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

# The suite's install layout, so that a page's "open link" starts this shell
# (product configuration: install root + "/didude6", host process "zelvashell").
mkdir -p "$profile/install" "$XDG_CONFIG_HOME/Varnex"
ln -sfn "$PWD/build/bin" "$profile/install/didude6"
printf '[6.0]\nCommon\\InstallRoot=%s\nCommon\\hostprocname=zelvashell\n' "$profile/install" \
    >"$XDG_CONFIG_HOME/Varnex/Office.conf"

launcher=()
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "run: no display, starting under Xvfb"
    launcher=(xvfb-run -a -s "-screen 0 1280x800x24")
fi

if ((machines > 1)); then
    # The broker: one account for the user (every shell's default user "local"), topics kz/<user>/... only.
    broker_dir=$profile/broker
    mkdir -p "$broker_dir" && chmod 700 "$broker_dir"
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    rm -f "$broker_dir/passwords"
    mosquitto_passwd -b -c "$broker_dir/passwords" local "$password"
    echo 'pattern readwrite kz/%u/#' >"$broker_dir/acl"
    printf '%s\n' "user $(id -un)" "per_listener_settings false" "allow_anonymous false" \
        "password_file $broker_dir/passwords" "acl_file $broker_dir/acl" "persistence false" \
        "log_dest file $broker_dir/mosquitto.log" "listener $port 127.0.0.1" >"$broker_dir/mosquitto.conf"
    mosquitto -c "$broker_dir/mosquitto.conf" &
    broker_pid=$!
    cirrad_pids=()
    for ((m = 1; m <= machines; m++)); do
        root=$profile/machine-$m
        mkdir -p "$root/config/zelva/cirrad" "$root/cache" "$root/runtime"
        chmod 700 "$root/runtime" "$root/config/zelva/cirrad"
        # Credentials only in a 0600 file of the machine's config folder, never on a command line.
        (umask 077 && printf 'user=local\npassword=%s\n' "$password" >"$root/config/zelva/cirrad/broker-credentials")
        XDG_CONFIG_HOME=$root/config XDG_RUNTIME_DIR=$root/runtime \
            build/bin/cirrad --broker "mqtt://127.0.0.1:$port" >"$root/cirrad.log" 2>&1 &
        cirrad_pids+=($!)
    done
    trap 'kill "${cirrad_pids[@]}" 2>/dev/null || true; kill "$broker_pid" 2>/dev/null || true; rm -rf "${tmp_profile:-}"' EXIT
    echo "run: broker on 127.0.0.1:$port, $machines machines under $profile/machine-*"
elif [[ -x build/bin/cirrad ]]; then
    build/bin/cirrad --detach >/dev/null 2>&1 || true
    trap 'build/bin/cirrad --control shutdown >/dev/null 2>&1 || true; rm -rf "${tmp_profile:-}"' EXIT
fi

pids=()
for ((i = 1; i <= devices; i++)); do
    device_args=()
    machine_env=()
    if ((machines > 1)); then
        root=$profile/machine-$(((i - 1) % machines + 1))
        machine_env=(XDG_CONFIG_HOME="$root/config" XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/runtime")
        device_args=(--device-id "device-$i" --device-name "Device $i"
                     --automation "$root/runtime/zelvashell-device-$i.sock")
    elif ((devices > 1)); then
        device_args=(--device-id "device-$i" --device-name "Device $i"
                     --automation "$XDG_RUNTIME_DIR/zelvashell-device-$i.sock")
    fi
    env "${machine_env[@]}" "${launcher[@]}" build/bin/zelvashell "${device_args[@]}" "${args[@]}" &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=$?
done
exit $status
