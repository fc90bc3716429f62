#!/usr/bin/env bash
# scripts/e2e-repeat.sh N: builds, then runs the end-to-end tests N times in a
# row with one core kept busy beside them, as on a loaded machine. Each
# failure is printed with the folder of its evidence, moved to
# build/e2e-repeat/round-<n>/ before the next round can overwrite it; the
# last line counts them. Exits non-zero when any test failed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

rounds="${1:?usage: scripts/e2e-repeat.sh N}"
configure_and_build >/dev/null

kept="$build/e2e-repeat"
rm -rf "$kept"
mkdir -p "$kept"
failed_list="$build/Testing/Temporary/LastTestsFailed.log"

yes >/dev/null &
busy=$!
trap 'kill "$busy" 2>/dev/null || true' EXIT

failures=0
failed_rounds=0
for round in $(seq "$rounds"); do
  started=$SECONDS
  rm -f "$failed_list"
  status=passed
  ctest --test-dir "$build" -L e2e -j2 --output-on-failure >"$kept/round-$round.log" 2>&1 || status=failed
  echo "round $round of $rounds: $status in $((SECONDS - started)) s (log: $kept/round-$round.log)"
  [[ $status == failed ]] || continue
  failed_rounds=$((failed_rounds + 1))
  # Lines of "<number>:<test name>"; a round that failed without one (the
  # label matched nothing, ctest itself failed) still counts as a failure.
  names=$(cut -d: -f2- "$failed_list" 2>/dev/null || true)
  [[ -n $names ]] || names="(ctest: see the round's log)"
  while IFS= read -r name; do
    failures=$((failures + 1))
    evidence="$build/e2e-artifacts/$name"
    if [[ -d $evidence ]]; then
      mkdir -p "$kept/round-$round"
      mv "$evidence" "$kept/round-$round/"
      evidence="$kept/round-$round/$name"
    else
      evidence="(none kept)"
    fi
    echo "  FAILED $name  evidence: $evidence"
  done <<<"$names"
done
echo "e2e-repeat: $rounds rounds, $failures failures in $failed_rounds rounds"
[[ $failures -eq 0 ]]
