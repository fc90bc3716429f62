#!/usr/bin/env bash
# Throughput and memory of the downloader on loopback, beside curl's own.
#
#   bench/download_throughput.sh [BUILD_DIR]
#
# Serves generated files with velmora-demo-server, downloads a 64 MiB file with
# velmora-download-driver (512-byte reads, one file write each) and with
# `curl -s -o`, prints both throughputs and their ratio, then the driver's
# peak resident memory for a 1 MiB and a 256 MiB body. Needs curl and
# /usr/bin/time. Prints figures; never passes or fails.
set -euo pipefail

build_dir=${1:-$(dirname "$0")/../build}
driver=$build_dir/bench/velmora-download-driver
server=$build_dir/tools/demo_server/velmora-demo-server
for tool in "$driver" "$server" /usr/bin/time curl; do
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

"$server" "$work/site" 0 "$work/site" 0 "$work/requests.log" >/dev/null 2>"$work/server.err" &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^site http' "$work/server.err" 2>/dev/null && break
  sleep 0.05
done
base=$(sed -n 's|^site \(http://127.0.0.1:[0-9]*\)/$|\1|p' "$work/server.err")
[[ -n $base ]] || { echo "the demo server did not start" >&2; cat "$work/server.err" >&2; exit 2; }

# MiB/s of one run, from the bytes and the wall time around it.
timed() {
  local start end
  start=$(date +%s.%N)
  "$@" >"$work/run.out"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}

echo "== 64 MiB over loopback ($base)"
curl -s -o "$work/out/curl.bin" "$base/64m.bin"   # warm the page cache and the server
curl_seconds=$(timed curl -s -o "$work/out/curl.bin" "$base/64m.bin")
driver_seconds=$(timed "$driver" "$base/64m.bin" "$work/out/driver.bin")
sed 's/^/  driver  /' "$work/run.out"
cmp -s "$work/site/64m.bin" "$work/out/driver.bin" && echo "  driver file identical to the served file" \
  || echo "  driver file DIFFERS from the served file"
awk -v c="$curl_seconds" -v d="$driver_seconds" 'BEGIN {
  size = 64; cr = size / c; dr = size / d;
  printf "  curl   %.3f s  %.1f MiB/s\n  driver %.3f s  %.1f MiB/s\n  driver/curl %.1f%% (target >= 25%%)\n",
         c, cr, d, dr, 100 * dr / cr }'

echo "== peak resident memory of the driver"
for size in 1m 256m; do
  /usr/bin/time -v "$driver" "$base/$size.bin" "$work/out/$size.bin" >"$work/run.out" 2>"$work/time.err"
  peak=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.err")
  outcome=$(sed -n 's/^outcome: //p' "$work/run.out")
  echo "  $size body: $peak KiB peak ($outcome)"
  eval "peak_$size=$peak"
done
# shellcheck disable=SC2154
echo "  256 MiB minus 1 MiB: $((peak_256m - peak_1m)) KiB (target <= 2048 KiB)"
