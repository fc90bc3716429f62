#!/usr/bin/env bash
# Start-up of Velmora beside a bare Qt WebEngine window on the same page, the
# floor the program builds on: launch to main window shown, launch to home
# page loaded, and the memory of the process with all its engine processes
# once the page is in. Prints figures; never passes or fails.
#
#   bench/startup.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR (default build/) must point the site at 127.0.0.1:8741, as the
# scripts' build does. Both programs run RUNS times (default 5), in turn, on
# a private Xvfb display with openbox, against the demo site served on the
# build's ports from a copy whose notice is empty (so no update question) and
# whose home page reports its load event by asking for /loaded: "loaded" is
# when that request reaches the server, for both programs alike, and "asked
# for" when the home page's own request does. "Shown" is when the process's
# first window is mapped. Memory is summed over the
# process and every descendant (the engine's zygote, renderers, GPU and
# utility processes) from /proc/<pid>/smaps_rollup, 2 s after the load.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"

build_dir=$(cd "${1:-$root/build}" && pwd)
runs=${2:-5}
grep -q '^VELMORA_SITE_HOST:STRING=127.0.0.1:8741$' "$build_dir/CMakeCache.txt" \
  || { echo "$build_dir does not point the site at 127.0.0.1:8741" >&2; exit 2; }
cmake --build "$build_dir" -j2 --target velmora velmora-demo-server velmora_demo_site \
  velmora-bare-webengine-window >/dev/null
program=$build_dir/app/velmora
bare=$build_dir/bench/velmora-bare-webengine-window
home="http://127.0.0.1:$demo_site_port/tiaozhuan/index1.html"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cp -r "$build_dir/demo-site" "$work/site"
: >"$work/site/update/velmora1.0.txt"
sed -i "s|</body>|<script>addEventListener('load', () => fetch('/loaded'));</script></body>|" \
  "$work/site/tiaozhuan/index1.html"

# The ports are shared with the end-to-end tests: wait for them to be free.
log=$work/requests.log
: >"$log"
for attempt in $(seq 60); do
  "$build_dir/tools/demo_server/velmora-demo-server" "$work/site" "$demo_site_port" \
    "$build_dir/demo-quote" "$demo_quote_port" "$log" >/dev/null 2>"$work/server.err" &
  server=$!
  sleep 0.3
  kill -0 "$server" 2>/dev/null && break
  echo "ports $demo_site_port/$demo_quote_port busy, retrying ($attempt)" >&2
  sleep 2
done
kill -0 "$server" 2>/dev/null || { cat "$work/server.err" >&2; exit 2; }
pids+=("$server")

for display_number in $(seq 140 199); do
  [[ -e /tmp/.X11-unix/X$display_number || -e /tmp/.X$display_number-lock ]] || break
done
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

now_ms() { echo $(($(date +%s%N) / 1000000)); }

descendants() {
  local child
  for child in $(pgrep -P "$1"); do
    echo "$child"
    descendants "$child"
  done
}

# "<rss KiB> <pss KiB> <processes>" of pid and its descendants.
tree_memory() {
  local tree=("$1" $(descendants "$1")) rss=0 pss=0 p kib
  for p in "${tree[@]}"; do
    kib=$(awk '/^Rss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    rss=$((rss + ${kib:-0}))
    kib=$(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    pss=$((pss + ${kib:-0}))
  done
  echo "$rss $pss ${#tree[@]}"
}

# One start: prints "<asked ms> <shown ms> <loaded ms> <rss KiB> <pss KiB>
# <processes>", asked being when the home page's request reached the server.
measure() {
  local before start pid asked="" shown="" loaded="" deadline requests
  before=$(wc -l <"$log")
  start=$(now_ms)
  setsid "$@" >"$work/run.out" 2>&1 &
  pid=$!
  deadline=$((start + 60000))
  while [[ -z $shown || -z $loaded ]] && (($(now_ms) < deadline)); do
    if [[ -z $shown ]] && xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
      shown=$(($(now_ms) - start))
    fi
    requests=$(tail -n +"$((before + 1))" "$log")
    if [[ -z $asked ]] && grep -q ' GET /tiaozhuan/index1.html$' <<<"$requests"; then
      asked=$(($(now_ms) - start))
    fi
    if [[ -z $loaded ]] && grep -q ' GET /loaded$' <<<"$requests"; then
      loaded=$(($(now_ms) - start))
    fi
    sleep 0.01
  done
  sleep 2
  local memory
  memory=$(tree_memory "$pid")
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sleep 0.5
  echo "${asked:-nan} ${shown:-nan} ${loaded:-nan} $memory"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/program.txt"
: >"$work/bare.txt"
echo "== $runs starts each on $DISPLAY, against $home"
for run in $(seq "$runs"); do
  measure "$program" >>"$work/program.txt"
  measure "$bare" "$home" >>"$work/bare.txt"
  echo "  run $run: velmora $(tail -1 "$work/program.txt") | bare $(tail -1 "$work/bare.txt")"
done
echo "  (home page asked for ms, window shown ms, page loaded ms, RSS KiB, PSS KiB, processes)"

column_median() { awk -v c="$2" '{ print $c }' "$1" | median; }
echo "== medians"
printf '  %-32s %9s %9s %7s\n' "" velmora bare ratio
for spec in "1 launch to home page asked for (ms)" "2 launch to window shown (ms)" "3 launch to page loaded (ms)" \
  "4 RSS, all processes (MiB)" "5 PSS, all processes (MiB)" "6 processes"; do
  column=${spec%% *}
  label=${spec#* }
  p=$(column_median "$work/program.txt" "$column")
  b=$(column_median "$work/bare.txt" "$column")
  if [[ $column == 4 || $column == 5 ]]; then
    p=$(awk -v v="$p" 'BEGIN { printf "%.1f", v / 1024 }')
    b=$(awk -v v="$b" 'BEGIN { printf "%.1f", v / 1024 }')
  fi
  awk -v l="$label" -v p="$p" -v b="$b" 'BEGIN { printf "  %-32s %9s %9s %7.2f\n", l, p, b, (b > 0) ? p / b : 0 }'
done
echo "  (target: velmora within 10% of the bare window, a ratio of 1.10 or less)"
