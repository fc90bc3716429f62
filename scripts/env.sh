# Sourced by the scripts: the build folder, the demo hosts, and what the
# browser engine needs on a machine like this one.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
demo_site_port=8741
demo_quote_port=8742

configure_and_build() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_SITE_HOST="127.0.0.1:$demo_site_port" \
    -DVELMORA_QUOTE_HOST="localhost:$demo_quote_port" >/dev/null
  cmake --build "$build" -j2 "$@"
}

# The engine's sandbox cannot run as root, and without a GPU it must not try
# to use one. Loopback never goes through a proxy.
if [[ $(id -u) -eq 0 ]]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
export NO_PROXY="127.0.0.1,localhost${NO_PROXY:+,$NO_PROXY}"
export no_proxy="$NO_PROXY"
