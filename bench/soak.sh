#!/usr/bin/env bash
# A long session of the real program: on a private Xvfb display with
# openbox, against the demo site served on the build's ports (its notice
# emptied, so no update question), a few hundred menu commands clicked with
# xdotool (the nine pages in turn, the on-top toggle now and then) and a
# dozen stock-quote windows opened and closed. Prints the resident memory of
# the program and of its browser-engine processes before and after, the
# growth, and whether the program is still alive. Prints figures; never
# passes or fails.
#
#   bench/soak.sh [BUILD_DIR] [COMMANDS] [QUOTE_WINDOWS]
#
# BUILD_DIR (default build/) must point the site at 127.0.0.1:8741, as the
# scripts' build does. The demo ports are shared with the end-to-end tests:
# the script holds /tmp/velmora-e2e.lock while it runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"

build_dir=$(cd "${1:-$root/build}" && pwd)
commands=${2:-300}
quote_windows=${3:-12}
grep -q '^VELMORA_SITE_HOST:STRING=127.0.0.1:8741$' "$build_dir/CMakeCache.txt" \
  || { echo "$build_dir does not point the site at 127.0.0.1:8741" >&2; exit 2; }
cmake --build "$build_dir" -j2 --target velmora velmora-demo-server velmora_demo_site velmora-menu-positions >/dev/null
program=$build_dir/app/velmora

exec 9>/tmp/velmora-e2e.lock
flock 9

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
log=$work/requests.log
: >"$log"
"$build_dir/tools/demo_server/velmora-demo-server" "$work/site" "$demo_site_port" \
  "$build_dir/demo-quote" "$demo_quote_port" "$log" >/dev/null 2>"$work/server.err" &
server=$!
pids+=("$server")
sleep 0.3
kill -0 "$server" 2>/dev/null || { cat "$work/server.err" >&2; exit 2; }

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

descendants() {
  local child
  for child in $(pgrep -P "$1"); do
    echo "$child"
    descendants "$child"
  done
}
rss_of() { awk '/^Rss:/ { print $2 }' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
# "<program RSS KiB> <engine processes' RSS KiB> <engine processes>"
memory() {
  local engine=0 count=0 p
  for p in $(descendants "$1"); do
    engine=$((engine + $(rss_of "$p")))
    count=$((count + 1))
  done
  echo "$(rss_of "$1") $engine $count"
}
wait_window() {
  local title=$1 id="" i
  for i in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1 || true)
    [[ -n $id ]] && break
    sleep 0.1
  done
  echo "$id"
}
wait_gone() {
  local i
  for i in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
}
# Waits until the server has logged count requests for path.
wait_requests() {
  local path=$1 count=$2 i
  for i in $(seq 300); do
    (($(grep -c " GET $path\$" "$log" || true) >= count)) && return 0
    sleep 0.05
  done
  return 1
}

declare -A at
while read -r name x y; do at[$name]="$x $y"; done < <("$build_dir/bench/velmora-menu-positions")
click() {
  local window=$1 name=$2
  read -r x y <<<"${at[$name]}"
  xdotool windowactivate --sync "$window" mousemove --window "$window" "$x" "$y" click 1
}

setsid "$program" >"$work/program.out" 2>&1 &
pid=$!
pids+=("$pid")
window=$(wait_window "VelmoraV1.0--")
[[ -n $window ]] || { echo "the main window never came" >&2; exit 1; }
wait_requests /tiaozhuan/index1.html 1 || true
sleep 3
read -r before_program before_engine before_processes <<<"$(memory "$pid")"

pages=(Add dy juc dongm mtv Min mfdh liuy zhuy)
started=$(date +%s)
quote_every=$((commands / quote_windows))
quotes_done=0
for i in $(seq 1 "$commands"); do
  if ((quotes_done < quote_windows && i % quote_every == 0)); then
    click "$window" gphq
    quote=$(wait_window "股票行情--")
    if [[ -n $quote ]]; then
      sleep 1
      xdotool windowactivate --sync "$quote" key --clearmodifiers alt+F4
      wait_gone "股票行情--"
    fi
    quotes_done=$((quotes_done + 1))
  elif ((i % 50 == 0)); then
    click "$window" ckzd
  else
    name=${pages[$((i % ${#pages[@]}))]}
    click "$window" "$name"
    sleep 0.1
  fi
done
sleep 3
read -r after_program after_engine after_processes <<<"$(memory "$pid")"
took=$(($(date +%s) - started))
alive=no
kill -0 "$pid" 2>/dev/null && xdotool search --onlyvisible --name "VelmoraV1.0--" >/dev/null 2>&1 && alive=yes
quote_pages=$(grep -c '^quote GET /main.html$' "$log" || true)
site_pages=$(grep -c '^site GET /tiaozhuan/' "$log" || true)

growth() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f %%", (a > 0) ? (b - a) * 100 / a : 0 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
echo "== soak: $commands menu commands ($quotes_done of them quote windows opened and closed) in $took s"
echo "   pages the site served: $site_pages; quote pages: $quote_pages"
printf '  %-28s %10s %10s %10s\n' "" "before" "after" "growth"
printf '  %-28s %10s %10s %10s\n' "program RSS (MiB)" "$(mib "$before_program")" "$(mib "$after_program")" \
  "$(growth "$before_program" "$after_program")"
printf '  %-28s %10s %10s %10s\n' "engine processes RSS (MiB)" "$(mib "$before_engine")" "$(mib "$after_engine")" \
  "$(growth "$before_engine" "$after_engine")"
total_before=$((before_program + before_engine))
total_after=$((after_program + after_engine))
printf '  %-28s %10s %10s %10s\n' "all together (MiB)" "$(mib "$total_before")" "$(mib "$total_after")" \
  "$(growth "$total_before" "$total_after")"
printf '  %-28s %10s %10s\n' "engine processes" "$before_processes" "$after_processes"
echo "  alive at the end: $alive"
echo "  (goal: growth of all together under 30 %, alive at the end)"
