#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the unit and widget tests, the integration tests against the loopback
# server and the end-to-end tests under Xvfb, then every further suite in
# scripts/suites/ (each installs and builds what it needs itself).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$root/scripts/setup.sh"
configure_and_build
ctest --test-dir "$build" --output-on-failure -j2

for suite in "$root"/scripts/suites/*.sh; do
  [[ -e "$suite" ]] || continue
  echo "== $(basename "$suite" .sh)"
  bash "$suite"
done
