#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build, run and test.
# Does nothing when everything is already there, so it is safe to run every time.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth dbus
    weston qt6-wayland
    desktop-file-utils appstream libxml2-utils shared-mime-info libglib2.0-bin
    dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        SUDO=sudo
    else
        SUDO=
    fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
