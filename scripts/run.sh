#!/usr/bin/env bash
# Installs what is missing, builds Linkwise and starts it. With --build-only
# it stops before starting the program (test.sh runs it so, first).
set -euo pipefail
cd "$(dirname "$0")/.."
start=1
if [ "${1:-}" = "--build-only" ]; then
  start=""
  shift
fi
./scripts/deps.sh
./scripts/configure.sh build program
cmake --build build --target linkwise
./scripts/grant-ping.sh build/src/linkwise
[ -n "$start" ] || exit 0
exec build/src/linkwise "$@"
