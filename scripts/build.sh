#!/usr/bin/env bash
# Configures and builds one build tree incrementally:
#   build.sh DIR [cmake options...] [-- targets...]
# The tree is configured when it is new, or again when a -DNAME=VALUE option
# differs from what it was configured with. Without targets everything the
# configuration holds is built. cmake's and ninja's progress are shown.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done

# Whether every -DNAME=VALUE (or -DNAME:TYPE=VALUE) matches the cache.
configured_as_asked() {
  [ -f "$dir/build.ninja" ] && [ -f "$dir/CMakeCache.txt" ] || return 1
  local option name value
  for option in ${options[@]+"${options[@]}"}; do
    case "$option" in
      -D*=*)
        name=${option#-D}; value=${name#*=}; name=${name%%=*}; name=${name%%:*}
        # A program named without its folder is cached with it (clang: /usr/bin/clang).
        awk -v n="$name" -v v="$value" '
          { key = $0; sub(/=.*/, "", key); sub(/:.*/, "", key); val = substr($0, index($0, "=") + 1) }
          key == n && (val == v || substr(val, length(val) - length(v)) == "/" v) { found = 1 }
          END { exit !found }' "$dir/CMakeCache.txt" || return 1 ;;
    esac
  done
}

if ! configured_as_asked; then
  echo "== Configuring $dir (cmake)"
  cmake -S "$top" -B "$dir" -G Ninja ${options[@]+"${options[@]}"}
fi
jobs=${PLACARIM_JOBS:-$(nproc)}
steps=$(ninja -C "$dir" -n ${targets[@]+"${targets[@]}"} 2>/dev/null | grep -c '^\[' || true)
echo "== Building $dir: ${targets[*]:-everything}, $steps steps, $jobs at a time (ninja)"
# Each finished step prints a line with the count, the share done and the time
# so far, even where the output is not a terminal.
export NINJA_STATUS=${NINJA_STATUS:-"[%f/%t %p %es] "}
cmake --build "$dir" -j "$jobs" ${targets[@]+--target "${targets[@]}"}
