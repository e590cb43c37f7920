#!/usr/bin/env bash
# Installs whatever a fresh Debian 12 machine lacks to build, run and test the program.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-private-dev qt6-tools-dev qt6-tools-dev-tools qt6-svg-dev qt6-l10n-tools
    libqt6svg6 libqt6help6 qt6-qpa-plugins
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libcli11-dev lintian help2man
    xvfb xauth fonts-dejavu-core fonts-dejavu-extra fonts-liberation locales
    cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
    desktop-file-utils appstream dpkg-dev python3-pyatspi at-spi2-core dbus-x11
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The number tests run under a decimal-comma locale as well.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating the de_DE.UTF-8 locale"
    if [ -f /etc/locale.gen ] && grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen; then
        as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
        echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen >/dev/null
fi
