#!/usr/bin/env bash
# The Windows build, proven on Linux: the Qt-free core and the Windows
# backends cross-compiled with mingw-w64, and their tests (the unit tests, the
# downloader on WinINet against the loopback server, the on-top call on a real
# window) run under Wine on a private Xvfb display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../env.sh"
build_mingw="${VELMORA_MINGW_BUILD_DIR:-$root/build-mingw}"

# Debian 12 packages this suite needs beyond the main build's. wine64 alone
# runs 64-bit programs; no i386 architecture is needed.
"$root/scripts/setup.sh" g++-mingw-w64-x86-64-posix wine64 googletest xvfb

cmake -S "$root" -B "$build_mingw" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_CORE_ONLY=ON -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" >/dev/null
cmake --build "$build_mingw" -j2

wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"
# A prefix of the build's own; no Mono or Gecko installer prompts; loopback
# never goes through a proxy.
export WINEPREFIX="$build_mingw/wine-prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

# Wine binds its desktop to the display it first sees, so the display comes
# before any Wine process.
display=""
for n in $(seq 200 299); do
  [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] || { display=":$n"; break; }
done
[[ -n "$display" ]] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
keeper_fifo="$build_mingw/wine-keeper"
cleanup() {
  exec 9>&- 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$keeper_fifo"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [[ -e "/tmp/.X11-unix/X${display#:}" ]] && break
  sleep 0.1
done
export DISPLAY="$display"

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  start=$SECONDS
  "$wine" wineboot --init >/dev/null 2>&1
  echo "Wine prefix created in $((SECONDS - start)) s"
fi
# Wine's own services stop when no Wine program is left, and each test
# program would wait for them to start again; one idle program keeps them.
rm -f "$keeper_fifo"
mkfifo "$keeper_fifo"
"$wine" cmd.exe <"$keeper_fifo" >/dev/null 2>&1 &
exec 9>"$keeper_fifo"

start=$SECONDS
# Wine now and then hangs a program that only lists its tests; a second run
# tells such a hang from a real failure, which fails again.
if ! ctest --test-dir "$build_mingw" --output-on-failure -j2; then
  echo "Some tests failed under Wine; running the suite once more"
  ctest --test-dir "$build_mingw" --output-on-failure -j2
fi
echo "Tests under Wine took $((SECONDS - start)) s"
