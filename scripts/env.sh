# Sourced by the scripts: the build folder, the demo hosts, and what the
# browser engine needs on a machine like this one.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
# Two checkouts that run their tests side by side give each build ports of
# its own (the end-to-end tests serve the site on the build's ports).
demo_site_port="${VELMORA_DEMO_SITE_PORT:-8741}"
demo_quote_port="${VELMORA_DEMO_QUOTE_PORT:-8742}"

# The demo checks its release archive's signature as a real build does: a
# key pair of its own, made once per build folder and never committed; the
# build signs the demo archive with it.
demo_signing_key="$build/demo-release-key.pem"

demo_update_key() {
  if [[ ! -f $demo_signing_key ]]; then
    mkdir -p "$build"
    (umask 077 && openssl genpkey -algorithm ed25519 -out "$demo_signing_key")
  fi
  # The last 32 bytes of the DER public key are the raw key.
  openssl pkey -in "$demo_signing_key" -pubout -outform DER | tail -c 32 | base64
}

configure_and_build() {
  local key
  key=$(demo_update_key)
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_SITE_HOST="127.0.0.1:$demo_site_port" \
    -DVELMORA_QUOTE_HOST="localhost:$demo_quote_port" \
    -DVELMORA_UPDATE_PUBLIC_KEY="$key" -DVELMORA_DEMO_SIGNING_KEY="$demo_signing_key" >/dev/null
  cmake --build "$build" -j2 "$@"
}

# The engine's sandbox cannot run as root, and without a GPU it must not try
# to use one. Loopback never goes through a proxy.
if [[ $(id -u) -eq 0 ]]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
export NO_PROXY="127.0.0.1,localhost${NO_PROXY:+,$NO_PROXY}"
export no_proxy="$NO_PROXY"
