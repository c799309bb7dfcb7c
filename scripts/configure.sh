#!/usr/bin/env bash
# Configures one build folder with every option of the project named, so
# that what an earlier configure left in the folder's cache (run.sh leaves
# the tests off in build/) never decides what this build is.
#   configure.sh FOLDER program|tests|sanitized
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$1"
case "$2" in
  program)   options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKWISE_TESTS=OFF -DLINKWISE_BENCH=OFF -DLINKWISE_SANITIZE=OFF) ;;
  tests)     options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKWISE_TESTS=ON -DLINKWISE_BENCH=ON -DLINKWISE_SANITIZE=OFF) ;;
  sanitized) options=(-DCMAKE_BUILD_TYPE=Debug -DLINKWISE_TESTS=ON -DLINKWISE_BENCH=OFF -DLINKWISE_SANITIZE=ON) ;;
  *) echo "configure.sh: unknown kind '$2'" >&2; exit 2 ;;
esac
# A folder that another generator made can't be reconfigured for Ninja.
cache="$folder/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
  rm -rf "$cache" "$folder/CMakeFiles"
fi
cmake -S . -B "$folder" -G Ninja "${options[@]}" -DLINKWISE_FUZZ=OFF
