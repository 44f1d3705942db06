#!/usr/bin/env bash
# Builds a Release build and starts the configurator.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
build="$root/build/release"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build"
if [ -x "$build/src/app/vrs5-configurator" ]; then
  exec "$build/src/app/vrs5-configurator" "$@"
fi
exec "$build/tools/vrs5ctl/vrs5ctl" --help
