#!/usr/bin/env bash
# Installs what is missing, builds Linkwise and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKWISE_TESTS=OFF -DLINKWISE_BENCH=OFF
cmake --build build --target linkwise
./scripts/grant-ping.sh build/src/linkwise
exec build/src/linkwise "$@"
