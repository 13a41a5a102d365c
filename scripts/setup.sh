#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are missing:
#   setup.sh play   what building and playing the game needs
#   setup.sh        that, and what the tests and benchmarks need as well
# Uses sudo when not run as root.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
want_tests=yes
if [ "${1:-}" = "play" ]; then want_tests=no; fi
# Lines after "[tests]" are needed only by the tests and benchmarks.
mapfile -t wanted < <(awk -v tests="$want_tests" '
  /^\s*#/ || /^\s*$/ { next }
  /^\[tests\]/ { in_tests = 1; next }
  !in_tests || tests == "yes" { print $1 }' "$here/debian-packages.txt")
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
