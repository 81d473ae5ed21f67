#!/usr/bin/env bash
# Builds the editor and starts it; a file name given here is opened.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" "$root/build" >/dev/null
exec "$root/build/lorvane" "$@"
