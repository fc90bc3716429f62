#!/usr/bin/env bash
# Installs what is missing, builds, serves the demo site on loopback and opens
# Velmora on it. Without a display it runs on a private Xvfb display for a
# while and saves a screenshot instead.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$root/scripts/setup.sh"
configure_and_build --target velmora velmora-demo-server velmora_demo_site

log="$build/demo-site.log"
: > "$log"
"$build/tools/demo_server/velmora-demo-server" "$build/demo-site" "$demo_site_port" \
  "$build/demo-quote" "$demo_quote_port" "$log" >/dev/null 2>&1 &
server=$!
pids=("$server")
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
# Until the site takes connections; bash's refusals are not for the reader.
for _ in $(seq 50); do
  (exec 3<>"/dev/tcp/127.0.0.1/$demo_site_port") 2>/dev/null && break
  sleep 0.1
done
echo "Demo site: http://127.0.0.1:$demo_site_port/  (requests are logged in $log)"

if [[ -n "${DISPLAY:-}" ]]; then
  "$build/app/velmora"
  exit 0
fi

# No display: a private one with a window manager, a look, and an end.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
export DISPLAY="$display"
openbox >/dev/null 2>&1 &
pids+=($!)
"$build/app/velmora" >"$build/demo-velmora.log" 2>&1 &
pids+=($!)
echo "No display: Velmora runs on Xvfb $display."

wait_for_window() { timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
# The demo notice asks for an update first: show the question, then answer
# 否 (Escape) to see the main window.
if prompt=$(wait_for_window '更新提示' 30) && [[ -n "$prompt" ]]; then
  import -window root "$build/demo-prompt.png"
  echo "Update question: $build/demo-prompt.png (answered 否)"
  xdotool windowactivate --sync "$prompt" key Escape
fi
if [[ -n "$(wait_for_window 'VelmoraV1.0--' 30)" ]]; then
  sleep "${VELMORA_DEMO_SECONDS:-5}"
  import -window root "$build/demo-screenshot.png"
  echo "Main window: $build/demo-screenshot.png"
else
  echo "The main window did not appear; see $build/demo-velmora.log" >&2
fi
echo "Pages the program asked for:"
sed 's/^/  /' "$log"
