#!/usr/bin/env bash
# Builds the fuzz targets with clang (installed here if missing, not for the
# normal build) in build-fuzz/ and runs them one after another, a single
# process each: scripts/fuzz.sh [seconds per target, default 300] [target...]
# Targets: fuzz_registry_file fuzz_profile_file fuzz_ust_file
# fuzz_editor_layout_stream fuzz_editor_plain_text fuzz_editor_strings_property.
# Each keeps its corpus in build-fuzz/corpus/<target>; findings land in
# build-fuzz/findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-300}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_registry_file fuzz_profile_file fuzz_ust_file)
"$root/scripts/deps.sh" clang
dir="$root/build-fuzz"
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLORVANE_FUZZ=ON -DLORVANE_TESTS=OFF -DLORVANE_BENCH=OFF >/dev/null
fi
build=()
for target in "${targets[@]}"; do build+=(--target "$target"); done
cmake --build "$dir" --parallel 2 "${build[@]}"
mkdir -p "$dir/findings"
for target in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$target"
  echo "== $target, $seconds s" >&2
  "$dir/fuzz/$target" -max_total_time="$seconds" -max_len=8192 \
    -artifact_prefix="$dir/findings/$target-" -print_final_stats=1 "$dir/corpus/$target" \
    >"$dir/$target.log" 2>&1 || echo "$target found something: see $dir/$target.log" >&2
  grep -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss)" "$dir/$target.log" >&2 || true
  tail -n 3 "$dir/$target.log" | grep -E "cov:" >&2 || true
done
