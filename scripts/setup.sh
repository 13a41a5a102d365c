#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are missing:
#   setup.sh play   what building and playing the game needs
#   setup.sh web    that, and what building it for the browser needs
#   setup.sh        all of that, and what the tests and benchmarks need as well
# Uses sudo when not run as root.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Sections: the lines before any section are always needed; "[web]" lines
# by the browser build and the tests; "[tests]" lines by the tests alone.
wanted_sections=" play web tests "
case "${1:-}" in
  play) wanted_sections=" play " ;;
  web) wanted_sections=" play web " ;;
esac
mapfile -t wanted < <(awk -v sections="$wanted_sections" '
  BEGIN { section = "play" }
  /^\s*#/ || /^\s*$/ { next }
  /^\[[a-z]+\]/ { section = substr($1, 2, length($1) - 2); next }
  index(sections, " " section " ") { print $1 }' "$here/debian-packages.txt")
missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
