#!/usr/bin/env bash
# Installs what the build and the tests need and is not there yet: the
# packages named on the command line, or else those in packages.txt. Quick
# and quiet when everything is present.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [[ $# -gt 0 ]]; then
  wanted=("$@")
else
  mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$here/packages.txt")
fi
missing=()
for pkg in "${wanted[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)"
  [[ "$status" == ii* ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
