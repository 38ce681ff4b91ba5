#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need, when any is missing. The
# tests that announce and look for tables start their own D-Bus system bus and Avahi daemon
# where none runs (tools/avahi-test-daemon.sh). The test of a silent link drops packets with nft
# inside its own network namespace.
set -euo pipefail
pkgs=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6opengl6-dev libgl1-mesa-dev
      libjpeg-dev liblz4-dev zlib1g-dev pkg-config libminiupnpc-dev libavahi-client-dev fonts-liberation
      avahi-daemon avahi-utils dbus nftables
      qt6-qpa-plugins xvfb xauth
      desktop-file-utils appstream man-db groff-base dpkg-dev file)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
