#!/usr/bin/env bash
# Installs what is missing, builds Linkwise and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKWISE_TESTS=OFF -DLINKWISE_BENCH=OFF
cmake --build build --target linkwise
# Pings go out through a raw ICMP socket when the kernel refuses the
# unprivileged kind; Debian grants its own ping the same capability.
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo setcap cap_net_raw+ep build/src/linkwise || echo "note: setcap failed; pings need root or net.ipv4.ping_group_range" >&2
exec build/src/linkwise "$@"
