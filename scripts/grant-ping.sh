#!/usr/bin/env bash
# Lets the given linkwise binary send pings. The kernel gives the unprivileged
# ICMP socket only to groups in net.ipv4.ping_group_range; anyone else needs
# CAP_NET_RAW on the binary (Debian grants its own ping the same), which a new
# build loses. Uses sudo when it can ask for it; otherwise prints the exact
# command to run as root. Never fails: the program starts without pings.
set -uo pipefail
binary="$(realpath "$1")"
grant=(/usr/sbin/setcap cap_net_raw+ep "$binary")

# Whether this user's group may open the unprivileged kind.
read -r low high < /proc/sys/net/ipv4/ping_group_range 2>/dev/null || { low=1; high=0; }
gid="$(id -g)"
if [ "$gid" -ge "$low" ] && [ "$gid" -le "$high" ]; then
  exit 0
fi
if /usr/sbin/getcap "$binary" 2>/dev/null | grep -q cap_net_raw; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  "${grant[@]}" && exit 0
elif command -v sudo >/dev/null && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
  sudo "${grant[@]}" && exit 0
fi
echo "linkwise: pings need a privilege this user lacks (CAP_NET_RAW, or group $gid in net.ipv4.ping_group_range)." >&2
echo "Run this as root once after each build:" >&2
printf '  ' >&2
printf '%q ' "${grant[@]}" | sed 's/ $//' >&2
echo >&2
exit 0
