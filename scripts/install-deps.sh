#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the benchmarks need; skips what is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-httpserver-dev qt6-websockets-dev libgl-dev
    qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
    liblxi-dev libtirpc-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
    clang libclang-rt-14-dev
    desktop-file-utils appstream dpkg-dev file librsvg2-bin libxml2-utils groff-base lintian
    locales fonts-dejavu-core
    python3-pyvisa python3-pyvisa-py python3-pymeasure socat netcat-openbsd
    lxi-tools util-linux iproute2 rpcbind avahi-daemon avahi-utils dbus-daemon
    chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
# The discovery test runs an Avahi daemon of its own in a network namespace. The system's own
# would announce this machine on its network, so one installed here is not left running.
if [[ " ${missing[*]} " == *" avahi-daemon "* && -d /run/systemd/system ]]; then
    "${sudo[@]}" systemctl disable --now avahi-daemon.service avahi-daemon.socket
fi
# The tests start an rpcbind of their own in a namespace; the system's would answer on the network.
if [[ " ${missing[*]} " == *" rpcbind "* && -d /run/systemd/system ]]; then
    "${sudo[@]}" systemctl disable --now rpcbind.service rpcbind.socket
fi
