#!/usr/bin/env bash
# Builds what the editor needs (the tests, examples and benchmarks are left to
# scripts/test.sh) and starts it; a file name given here is opened. The
# build's progress goes to the terminal, one line per step.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
echo "Building the editor in $root/build ..." >&2
LORVANE_TARGETS="lorvane lorvane_data" "$root/scripts/build.sh" "$root/build" >&2
exec "$root/build/lorvane" "$@"
