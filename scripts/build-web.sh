#!/usr/bin/env bash
# Builds the game for the browser:
#   build-web.sh [NATIVE_TREE [WEB_TREE]]     (defaults: build, build-web)
# The data (recordings, the built-in voice's units, the Ilvra voice's files)
# is made by the native tree's tools, as for ./play; the program is compiled to WebAssembly with
# Debian's emscripten in WEB_TREE; the page, ready for any static web server,
# is assembled in WEB_TREE/site.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath -m "${1:-$top/build}")
web=$(realpath -m "${2:-$top/build-web}")
# Debian's emscripten finds its node modules there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
for tool in emcmake em++ python3; do
  command -v "$tool" >/dev/null || { echo "build-web.sh: $tool is missing (scripts/setup.sh web installs it)" >&2; exit 1; }
done

# The tests build the native tree themselves (PLACARIM_WEB_NATIVE_BUILT=1).
if [ -z "${PLACARIM_WEB_NATIVE_BUILT:-}" ]; then
  options=()
  if [ ! -f "$native/CMakeCache.txt" ]; then options=(-DBUILD_TESTING=OFF); fi
  "$top/scripts/build.sh" "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${options[@]+"${options[@]}"} -- play
fi
for made in letras sons difones ilvra placarim.cnf; do
  [ -e "$native/data/$made" ] || { echo "build-web.sh: $native/data/$made is missing: build the native tree first" >&2; exit 1; }
done

if [ ! -f "$web/build.ninja" ]; then
  echo "== Configuring $web (emcmake cmake)"
  emcmake cmake -S "$top" -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DCMAKE_C_FLAGS_RELEASE=-O2
fi
echo "== Building $web: placarim (WebAssembly), ${PLACARIM_JOBS:-2} at a time"
export NINJA_STATUS=${NINJA_STATUS:-"[%f/%t %p %es] "}
cmake --build "$web" -j "${PLACARIM_JOBS:-2}" --target placarim

site=$web/site
mkdir -p "$site"
cp "$top"/platform/web/page/*.{html,js,css,svg,webmanifest} "$top"/platform/audio/web/*.js "$site/"
rm -f "$site/web_audio_library.js"
cp "$web/game/placarim.js" "$web/game/placarim.wasm" "$site/"
# The data, under the paths the page's configuration names.
python3 /usr/share/emscripten/tools/file_packager.py "$site/placarim.data" \
  --preload "$native/data/letras@/placarim/data/letras" "$native/data/sons@/placarim/data/sons" \
  "$native/data/difones@/placarim/data/difones" "$native/data/ilvra@/placarim/data/ilvra" \
  "$native/data/placarim.cnf@/placarim/data/placarim.cnf" \
  "$web/etc/FALDEK.INI@/placarim/etc/FALDEK.INI" \
  --js-output="$site/placarim-data.js" >/dev/null
# A new cache name whenever anything the page serves changed.
id=$(cat "$site"/*.{js,wasm,data,html,css} | sha256sum | cut -c1-16)
sed -i "s/@PLACARIM_BUILD_ID@/$id/" "$site/sw.js"
echo "== The page is in $site"
