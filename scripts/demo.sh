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
for _ in $(seq 50); do
  grep -q . <(exec 3<>"/dev/tcp/127.0.0.1/$demo_site_port" && echo up) 2>/dev/null && break
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
DISPLAY="$display" openbox >/dev/null 2>&1 &
pids+=($!)
DISPLAY="$display" "$build/app/velmora" >"$build/demo-velmora.log" 2>&1 &
pids+=($!)
seconds="${VELMORA_DEMO_SECONDS:-20}"
echo "No display: Velmora runs on Xvfb $display for $seconds seconds."
sleep "$seconds"
DISPLAY="$display" import -window root "$build/demo-screenshot.png"
echo "Screenshot: $build/demo-screenshot.png"
echo "Pages the program asked for:"
sed 's/^/  /' "$log"
