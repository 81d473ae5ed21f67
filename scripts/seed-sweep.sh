#!/usr/bin/env bash
# Runs the random edit test over many seeds, one process per seed:
#   scripts/seed-sweep.sh [--every-step] [count] [first seed] [build dir]
# --every-step compares the layout with a fresh one after every step (slower).
# LORVANE_SWEEP_TESTS picks the tests (default both modes; "*Stripped" only
# the one with code pairs stripped).
# Prints each failing seed with the step that failed and a summary line; the
# exit status is 1 when any seed failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
every=50
if [ "${1:-}" = "--every-step" ]; then
  every=1
  shift
fi
count="${1:-5000}"
first="${2:-1}"
dir="${3:-$root/build}"
binary="$dir/tests/editor/model/test_editor_model"
cmake --build "$dir" --target test_editor_model >/dev/null || exit 2
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
failed=0
for ((seed = first; seed < first + count; ++seed)); do
  if ! LORVANE_SEED=$seed LORVANE_LAYOUT_EVERY=$every "$binary" \
      --gtest_filter="RandomEditTest.${LORVANE_SWEEP_TESTS:-TenThousandSteps*}" >"$log" 2>&1; then
    failed=$((failed + 1))
    echo "seed $seed: $(grep -m1 -E 'differs|step [0-9]+:|Failure' "$log")"
  fi
done
echo "seeds $first..$((first + count - 1)), layout compared every $every step(s): $failed failed"
[ "$failed" -eq 0 ]
