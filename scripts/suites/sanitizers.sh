#!/usr/bin/env bash
# Every test that needs no browser engine, built with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer; any finding fails its test.
#
#   build-asan          the Qt-free logic, the libcurl backends and the loopback
#                       server with all their tests (core and integration)
#   build-asan-widgets  the windows' tests, in-process on Qt's offscreen
#                       platform with fake browser panes: only the test
#                       programs that the first build does not have
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../env.sh"
"$root/scripts/setup.sh"

core="$root/build-asan"
widgets="$root/build-asan-widgets"
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

configure() {
  cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON "${@:2}" >/dev/null
}

# The test programs a build defines, by name (one per "<name>[1]_include.cmake").
test_programs() {
  find "$1/tests" -name '*\[1\]_include.cmake' -printf '%f\n' | sed 's/\[1\]_include\.cmake$//' | sort
}

start=$SECONDS
configure "$core" -DVELMORA_CORE_ONLY=ON
cmake --build "$core" -j2
ctest --test-dir "$core" -j2 --output-on-failure

configure "$widgets"
mapfile -t qt_only < <(comm -13 <(test_programs "$core") <(test_programs "$widgets"))
if [[ ${#qt_only[@]} -gt 0 ]]; then
  echo "Qt test programs: ${qt_only[*]}"
  cmake --build "$widgets" -j2 --target "${qt_only[@]}"
  # Test programs of the first build stay unbuilt here and are left out.
  ctest --test-dir "$widgets" -j2 --output-on-failure -E '_NOT_BUILT$'
fi
echo "sanitizers: $((SECONDS - start)) s"
