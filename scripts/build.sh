#!/usr/bin/env bash
# Configures (once) and builds a build directory: scripts/build.sh [dir] [cmake options...]
# LORVANE_TARGETS="a b" builds only those targets and what they need.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
"$root/scripts/deps.sh"
if [ ! -f "$dir/build.ninja" ]; then
  echo "Configuring $dir" >&2
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
fi
targets=()
for target in ${LORVANE_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
