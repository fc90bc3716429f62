#!/usr/bin/env bash
# Throughput and memory of the downloader on loopback, beside curl's own.
#
#   bench/download_throughput.sh [BUILD_DIR]
#
# Serves generated files with velmora-demo-server and downloads a 64 MiB file
# side by side, five rounds (VELMORA_BENCH_ROUNDS), with `curl -s -o`, with
# velmora-download-driver (the downloader alone, 512-byte blocks) and through
# the real updater window (velmora-updater-bench, offscreen and, when
# xvfb-run is there, on an X server); prints each round, then the medians as
# a table with the ratios, then the driver's peak resident memory for a 1 MiB
# and a 256 MiB body, and for a 256 MiB body whose signature is checked. In a
# build with a key (the demo and test build) the served 64 MiB file is signed
# with the build's demo key, so every download of it ends with the check, as
# the program's own would. Needs curl, openssl and /usr/bin/time. Prints
# figures; never passes or fails. Other work on the machine slows the rounds
# unevenly: the load average is printed with the figures.
set -euo pipefail

build_dir=${1:-$(dirname "$0")/../build}
driver=$build_dir/bench/velmora-download-driver
window=$build_dir/bench/velmora-updater-bench
server=$build_dir/tools/demo_server/velmora-demo-server
for tool in "$driver" "$window" "$server" /usr/bin/time curl openssl; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

work=$(mktemp -d)
server_pid=
cleanup() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/site" "$work/out"
head -c $((1 << 20)) /dev/urandom >"$work/site/1m.bin"
head -c $((64 << 20)) /dev/urandom >"$work/site/64m.bin"
head -c $((256 << 20)) /dev/urandom >"$work/site/256m.bin"
ln "$work/site/256m.bin" "$work/site/256m-signed.bin"
# The demo and test build made this key and checks downloads against it.
signing_key=$build_dir/demo-release-key.pem
signed=(64m.bin 256m-signed.bin)
if [[ -f $signing_key ]]; then
  for file in "${signed[@]}"; do
    openssl pkeyutl -sign -inkey "$signing_key" -rawin -in "$work/site/$file" -out "$work/sig.raw"
    openssl base64 -A -in "$work/sig.raw" -out "$work/site/$file.sig"
  done
fi

"$server" "$work/site" 0 "$work/site" 0 "$work/requests.log" >/dev/null 2>"$work/server.err" &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^site http' "$work/server.err" 2>/dev/null && break
  sleep 0.05
done
base=$(sed -n 's|^site \(http://127.0.0.1:[0-9]*\)/$|\1|p' "$work/server.err")
[[ -n $base ]] || { echo "the demo server did not start" >&2; cat "$work/server.err" >&2; exit 2; }

curl -s -o "$work/out/curl.bin" "$base/64m.bin"   # warm the page cache and the server

# Each round runs curl, the driver and the window (offscreen, then on Xvfb)
# one after another, so a busy machine slows them alike; the figures are the
# medians of the rounds, each from the program's own clock around the
# transfer (curl's time_total, the driver's DLFile, the window's Download
# click), so start-up is not counted. DLFile ends with the file flushed to
# the disk and renamed, which curl -o does not do: the driver's time up to
# the end of the body is what compares with curl's, its whole time with the
# window's.
rounds=${VELMORA_BENCH_ROUNDS:-5}
have_xvfb=$(command -v xvfb-run || true)
seconds_of() { sed -n 's/^seconds: //p' "$work/run.out"; }
window_run() {  # platform label
  local dir="$work/out/window-$1"
  mkdir -p "$dir"
  if [[ $1 == xcb ]]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$window" "$base/64m.bin" "$dir" >"$work/run.out" 2>/dev/null
  else
    QT_QPA_PLATFORM=offscreen "$window" "$base/64m.bin" "$dir" >"$work/run.out" 2>/dev/null
  fi
  cmp -s "$work/site/64m.bin" "$dir/Velmora1.0.zip" || echo "  window ($1) file DIFFERS from the served file" >&2
  echo "$(seconds_of) $(sed -n 's/^Label4 paints: //p' "$work/run.out") $(sed -n 's/^status: //p' "$work/run.out")"
}
echo "== 64 MiB over loopback ($base), $rounds rounds"
: >"$work/rounds"
for round in $(seq "$rounds"); do
  c=$(curl -s -o "$work/out/curl.bin" -w '%{time_total}' "$base/64m.bin")
  "$driver" "$base/64m.bin" "$work/out/driver.bin" >"$work/run.out"; d=$(seconds_of)
  db=$(sed -n 's/^body seconds: //p' "$work/run.out")
  cmp -s "$work/site/64m.bin" "$work/out/driver.bin" || echo "  driver file DIFFERS from the served file" >&2
  read -r wo po so < <(window_run offscreen)
  wx=- px=- sx=-
  if [[ -n $have_xvfb ]]; then read -r wx px sx < <(window_run xcb); fi
  echo "$c $d $wo $wx $db" >>"$work/rounds"
  printf '  round %d: curl %.3f s, driver %.3f s (body %.3f s), window offscreen %.3f s (%s repaints of Label4), window Xvfb %s s (%s repaints)\n' \
    "$round" "$c" "$d" "$db" "$wo" "$po" "$wx" "$px"
done
echo "  last captions: offscreen \"$so\", Xvfb \"$sx\""
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v size=64 '
  function median(col,   n, i, j, t, v) {
    n = 0
    for (i = 1; i <= NR; i++) if (row[i, col] != "-") v[++n] = row[i, col]
    if (n == 0) return 0
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { for (k = 1; k <= 5; k++) row[NR, k] = $k }
  END {
    c = median(1); d = median(2); o = median(3); x = median(4); b = median(5)
    printf "\n| medians of %d rounds, 64 MiB | seconds | MiB/s | ratio | goal |\n", NR
    printf "|---|---|---|---|---|\n"
    printf "| curl | %.3f | %.1f | | |\n", c, size / c
    printf "| headless driver, the body | %.3f | %.1f | %.2f of curl | >= 0.70 |\n", b, size / b, c / b
    printf "| headless driver, with the flush to disk and the rename | %.3f | %.1f | %.2f of curl | |\n", d, size / d, c / d
    printf "| updater window, offscreen | %.3f | %.1f | %.2f of the driver | >= 0.70 |\n", o, size / o, d / o
    if (x > 0) printf "| updater window, Xvfb | %.3f | %.1f | %.2f of the driver | >= 0.70 |\n", x, size / x, d / x
    else print "| updater window, Xvfb | not run (no xvfb-run) | | | |"
  }' "$work/rounds"

# 1m and 256m have no signature: in a build with a key the check stops at the
# missing one, so these two measure the download alone. 256m-signed adds the
# check, which maps the whole archive (pure Ed25519 reads it in one piece):
# file pages the system can drop, but counted as resident.
echo "== peak resident memory of the driver"
for size in 1m 256m 256m-signed; do
  /usr/bin/time -v "$driver" "$base/$size.bin" "$work/out/$size.bin" >"$work/run.out" 2>"$work/time.err"
  peak=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.err")
  outcome=$(sed -n 's/^outcome: //p' "$work/run.out")
  echo "  $size body: $peak KiB peak ($outcome)"
  eval "peak_${size//-/_}=$peak"
done
# shellcheck disable=SC2154
echo "  256 MiB minus 1 MiB: $((peak_256m - peak_1m)) KiB (goal <= 2048 KiB)"
