#!/usr/bin/env bash
# A short libFuzzer run of every fuzz target on a copy of its checked-in seed
# corpus: FUZZ_SECONDS each (10 by default). Any crash, sanitizer finding or
# broken property fails the suite and leaves the input that did it in
# build-fuzz/artifacts/. bench/fuzz_long.sh runs the same targets for longer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../env.sh"
"$root/scripts/setup.sh"

fuzz_build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-10}"
start=$SECONDS

CXX=clang++-14 cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_TESTS=OFF -DVELMORA_FUZZ=ON >/dev/null
targets=()
for corpus in "$root"/fuzz/corpus/*/; do
  targets+=("$(basename "$corpus")_fuzz")
done
cmake --build "$fuzz_build" -j2 --target "${targets[@]}"

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Only what this run finds: an input left from an earlier run would mislead.
rm -rf "$fuzz_build/artifacts"
mkdir -p "$fuzz_build/artifacts"
for target in "${targets[@]}"; do
  name="${target%_fuzz}"
  work="$fuzz_build/corpus-run/$name"
  rm -rf "$work"
  mkdir -p "$work"
  cp "$root/fuzz/corpus/$name"/* "$work/"
  echo "== $target: $seconds s from $(ls "$work" | wc -l) seeds"
  "$fuzz_build/fuzz/$target" "$work" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$fuzz_build/artifacts/$name-" 2>"$fuzz_build/$name.log" \
    || { tail -40 "$fuzz_build/$name.log"; exit 1; }
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+.*DONE' "$fuzz_build/$name.log" | sed 's/^/  /'
  echo "  corpus grew to $(ls "$work" | wc -l) inputs"
done
echo "fuzz: $((SECONDS - start)) s"
