#!/usr/bin/env bash
# Installs, on Debian 12, what building and testing Linkwise needs. Quick when
# everything is there already: apt-get runs only for missing packages.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  desktop-file-utils appstream
  libnl-route-3-dev libcap2-bin iproute2 iputils-ping
  dnsmasq-base isc-dhcp-client dhcpcd-base dbus-daemon
  xvfb xauth fonts-dejavu-core
  openbox wmctrl x11-utils xclip unrtf xdg-utils file
  xdotool
  # A Wayland desktop for the tests, and Qt's own Wayland platform, which Qt
  # picks by itself on a Wayland session once it is installed.
  sway xwayland wtype grim x11-xserver-utils qt6-wayland
)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
updated=""
apt_install() {
  [ -n "$updated" ] || { $sudo apt-get update -qq; updated=1; }
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt_install "${missing[@]}"
fi

# Installs packages whose scripts would start a daemon, without starting it:
# a temporary policy-rc.d refuses every start while apt runs, on a machine
# where an init runs as on one where none does.
install_held() {
  local policy=/usr/sbin/policy-rc.d saved=""
  if [ -e "$policy" ]; then
    saved=$(mktemp)
    $sudo cp -p "$policy" "$saved"
  fi
  restore_policy() {
    if [ -n "$saved" ]; then $sudo cp -p "$saved" "$policy"; rm -f "$saved"; else $sudo rm -f "$policy"; fi
  }
  trap restore_policy EXIT
  printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
  $sudo chmod 755 "$policy"
  apt_install "$@"
  restore_policy
  trap - EXIT
}

# The adapter tests run a real NetworkManager in namespaces of their own. Its
# package depends on udev, whose newest version would drag a systemd upgrade
# along: pin udev to the installed systemd's version. The machine's own
# network is never handed to it.
if ! installed network-manager; then
  install_held network-manager "udev=$(dpkg-query -W -f='${Version}' systemd)"
fi

# The terminal window's tests talk to a real telnet server (inetutils'
# telnetd, started per connection by busybox nc) in namespaces of their own.
# The package pulls an inetd and a syslog daemon along; neither is started.
if ! installed inetutils-telnetd || ! installed busybox; then
  install_held inetutils-telnetd busybox
fi
