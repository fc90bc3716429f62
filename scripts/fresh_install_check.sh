#!/usr/bin/env bash
# The Debian package as a new user meets it, by hand (slow: it fetches a
# Debian 12 base system and the package's dependencies from Debian's archive,
# so no suite runs it): a minimal root made with debootstrap, nothing in it
# but what apt installs for build/velmora_*.deb, the program started there as
# a user other than root on a private Xvfb display against the demo site.
# Saves the update question, the updater after 是 and 下载, and the main window
# after 否 in build/fresh-install/, and fails unless a Chinese font came with
# the package and the archive was saved in the user's own folder.
# Needs root (debootstrap, chroot, mounts).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$root/scripts/setup.sh" debootstrap xvfb xdotool imagemagick openbox
configure_and_build --target velmora velmora-demo-server velmora_demo_site
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmora_*_amd64.deb)
work="$build/fresh-install"
fresh="$work/root"
mkdir -p "$work"
[[ -x "$fresh/bin/bash" ]] || debootstrap --variant=minbase bookworm "$fresh" http://deb.debian.org/debian

pids=()
mounts=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  wait "${pids[@]}" 2>/dev/null || true
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
bind() { mkdir -p "$fresh$2"; mount "${@:3}" "$1" "$fresh$2"; mounts+=("$fresh$2"); }
bind proc /proc -t proc
bind /dev /dev --bind
bind /dev/pts /dev/pts --bind
bind shm /dev/shm -t tmpfs
bind /tmp/.X11-unix /tmp/.X11-unix --bind
cp /etc/resolv.conf "$fresh/etc/resolv.conf"
cp "$deb" "$fresh/tmp/velmora.deb"
chroot "$fresh" env DEBIAN_FRONTEND=noninteractive sh -c 'apt-get update -q && apt-get install -y -q /tmp/velmora.deb' >"$work/apt.log"
chroot "$fresh" id ming >/dev/null 2>&1 || chroot "$fresh" useradd -m ming
fonts=$(chroot "$fresh" fc-list :lang=zh family)
[[ -n "$fonts" ]] || { echo "no Chinese font came with the package" >&2; exit 1; }
echo "Chinese fonts in the fresh root: $(echo "$fonts" | wc -l)"

"$build/tools/demo_server/velmora-demo-server" "$build/demo-site" "$demo_site_port" \
  "$build/demo-quote" "$demo_quote_port" "$work/site.log" >/dev/null 2>&1 &
pids+=($!)
display=":$((200 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
export DISPLAY="$display"
openbox >/dev/null 2>&1 &
pids+=($!)

# xdotool's name search does not match Chinese here: windows are found by
# listing them.
window() {
  for _ in $(seq 60); do
    for id in $(xdotool search --name . 2>/dev/null); do
      [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1"* ]] && { echo "$id"; return; }
    done
    sleep 0.5
  done
  echo "no window $1" >&2
  return 1
}
start() {
  chroot "$fresh" su - ming -c "DISPLAY=$display QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu NO_PROXY=127.0.0.1 velmora" \
    >>"$work/velmora.log" 2>&1 &
  pids+=($!)
}

rm -rf "$fresh/home/ming/.local/share/velmora"
start
prompt=$(window 更新提示)
import -window root "$work/prompt.png"
xdotool windowactivate --sync "$prompt" key Return
updater=$(window 更新程序)
xdotool windowactivate --sync "$updater" key Return
archive="$fresh/home/ming/.local/share/velmora/Velmora1.0.zip"
for _ in $(seq 40); do [[ -f $archive ]] && break; sleep 0.5; done
sleep 1
import -window root "$work/updated.png"
cmp "$archive" "$build/demo-site/velmora.zip"
echo "The update was saved in ming's ~/.local/share/velmora"
xdotool windowactivate --sync "$updater" key alt+F4

start
xdotool windowactivate --sync "$(window 更新提示)" key Escape
main=$(window VelmoraV1.0)
sleep 5
import -window root "$work/main.png"
xdotool windowactivate --sync "$main" key alt+F4
echo "Screenshots: $work/prompt.png, updated.png, main.png"
