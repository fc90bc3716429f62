#!/usr/bin/env bash
# A long libFuzzer run of every fuzz target, for when there is time to spare.
#
#   bench/fuzz_long.sh [SECONDS_PER_TARGET] [TARGET_NAME...]
#
# Builds build-fuzz as scripts/suites/fuzz.sh does, then runs each target
# (all by default; names as in fuzz/corpus/) for SECONDS_PER_TARGET (600 by
# default) with one fuzzing job per core, on a working corpus in
# build-fuzz/corpus-long/<name> that persists between runs and starts from the
# checked-in seeds. Prints the figures of each run and, at the end, the inputs
# to look at: crashes in build-fuzz/artifacts/. To add what a run found to
# the seeds, minimise it first:
#   build-fuzz/fuzz/<name>_fuzz -merge=1 fuzz/corpus/<name> build-fuzz/corpus-long/<name>
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
fuzz_build="$root/build-fuzz"
seconds="${1:-600}"
shift || true

FUZZ_SECONDS=1 bash "$root/scripts/suites/fuzz.sh" >/dev/null || { echo "the short fuzz run failed first" >&2; exit 1; }

names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
  for corpus in "$root"/fuzz/corpus/*/; do names+=("$(basename "$corpus")"); done
fi
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for name in "${names[@]}"; do
  work="$fuzz_build/corpus-long/$name"
  mkdir -p "$work" "$fuzz_build/artifacts"
  cp -n "$root/fuzz/corpus/$name"/* "$work/" 2>/dev/null || true
  echo "== ${name}_fuzz: $seconds s, $(nproc) jobs, from $(ls "$work" | wc -l) inputs"
  (cd "$fuzz_build" && "$fuzz_build/fuzz/${name}_fuzz" "$work" -max_total_time="$seconds" \
      -jobs="$(nproc)" -workers="$(nproc)" -print_final_stats=1 \
      -artifact_prefix="$fuzz_build/artifacts/$name-" >/dev/null 2>&1) || failed=1
  for log in "$fuzz_build"/fuzz-*.log; do
    grep -E '^#[0-9]+.*DONE|^stat::number_of_executed_units|==ERROR|fuzz: ' "$log" | sed 's/^/  /'
    rm -f "$log"
  done
  echo "  corpus now $(ls "$work" | wc -l) inputs"
done
ls "$fuzz_build"/artifacts/ 2>/dev/null | sed 's/^/artifact: /'
exit "$failed"
