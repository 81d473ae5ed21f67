#!/usr/bin/env bash
# Builds everything and runs every test: scripts/test.sh [build dir] [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
"$root/scripts/build.sh" "$dir" "$@"
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600
