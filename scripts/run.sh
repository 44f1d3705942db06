#!/usr/bin/env bash
# Builds a Release build and starts the configurator.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
build="$root/build/release"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
# The program and its two tools; the tests are built by test.sh.
cmake --build "$build" --target vrs5-configurator vrs5ctl vrs5-devsim
exec "$build/src/app/vrs5-configurator" "$@"
