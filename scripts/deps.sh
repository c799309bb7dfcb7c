#!/usr/bin/env bash
# Installs, on Debian 12, what building and testing Linkwise needs. Quick when
# everything is there already: apt-get runs only for missing packages.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libnl-route-3-dev libcap2-bin iproute2 iputils-ping
  dnsmasq-base isc-dhcp-client dbus-daemon
  xvfb xauth fonts-dejavu-core
  openbox wmctrl x11-utils xclip unrtf
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
