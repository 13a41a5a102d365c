#!/usr/bin/env bash
# The Debian package as a user meets it:
#   debian_package_test.sh SOURCE_DIR
# builds it from a copy of the source tree with dpkg-buildpackage (the suite
# itself is not run again: nocheck), checks it with lintian, installs it with
# apt-get, runs the installed programs (the game under a private X server, as
# far as its menu), then purges it and checks that none of its files is left.
# The package is purged on the way out whatever happened. Exit code 77 (a
# skip for ctest) when this user cannot install packages.
set -euo pipefail
top=$(cd "$1" && pwd)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    echo "Installing a package needs root or sudo without a password; skipped."
    exit 77
  fi
  sudo="sudo -n"
fi
packages=(placarim placarim-data)
for package in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
    echo "$package is already installed on this machine; remove it before this test."
    exit 1
  fi
done

work=$(mktemp -d /tmp/placarim_package.XXXXXX)
installed=no
xvfb=""
game=""
finish() {
  status=$?
  [ -z "$game" ] || kill -KILL "$game" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  if [ "$installed" = yes ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "${packages[@]}" >/dev/null || status=1
  fi
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}

# The sources as committed or being edited (never a build tree).
mkdir "$work/placarim"
if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$top" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 -I{} sh -c '[ ! -e "$1" ] || printf "%s\0" "$1"' _ {} |
    tar --null -T - -cf -) | tar -C "$work/placarim" -xf -
else
  tar -C "$top" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$work/placarim" -xf -
fi

echo "== Building the package"
cd "$work/placarim"
start=$(date +%s)
DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc --build-profiles=nocheck \
  -j"${PLACARIM_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 || { tail -50 "$work/build.log"; fail "dpkg-buildpackage"; }
echo "Built in $(($(date +%s) - start)) s"
cd "$work"
ls -l ./*.deb ./*.dsc ./*.tar.*
sha256sum ./*.deb

echo "== lintian"
lintian --fail-on error,warning --display-info ./placarim_*.changes || fail "lintian reports errors or warnings"

echo "== Installing"
installed=yes
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./placarim_*.deb ./placarim-data_*.deb >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get install"; }
mapfile -t files < <(dpkg -L "${packages[@]}" | grep -vx /.)
for program in placarim placarim-check placarim-report; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not on the PATH"
done
dpkg-query --control-show placarim conffiles | grep -qx /etc/placarim/FALDEK.INI || fail "FALDEK.INI is not a conffile"
desktop-file-validate /usr/share/applications/placarim.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/placarim.metainfo.xml || fail "AppStream entry"
for page in placarim.6 placarim-check.1 placarim-report.1; do
  for language in "" pt_BR/; do
    [ -e "/usr/share/man/${language}man${page##*.}/$page.gz" ] || fail "no manual page $language$page"
  done
done

# Everything the programs write goes to a home of their own; the directory
# they are started from stays empty.
home=$work/casa
mkdir -p "$home" "$work/run"
user_env=(env -u PLACARIM_SYSCONFDIR HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
          XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/run-user"
          BRLAPI_HOST=:61999)  # a braille daemon address nobody serves: the machine's own stays untouched
mkdir -m 700 "$work/run-user"

echo "== placarim --help"
help=$(cd "$work/run" && "${user_env[@]}" placarim --help) || fail "placarim --help"
grep -q "/etc/placarim" <<<"$help" || fail "the help does not name the installed configuration: $help"

echo "== placarim-check on the shipped exercise file"
(cd "$work/run" && "${user_env[@]}" placarim-check /usr/share/placarim/placarim.cnf) || fail "placarim-check"

echo "== The game under Xvfb, as far as its menu"
# Xvfb picks a free display and writes its number once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
read -r -t 30 display <"$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
screen=$work/tela.txt
(cd "$work/run" && exec "${user_env[@]}" DISPLAY=":$display" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/som.raw" \
   PLACARIM_SCREEN_DUMP="$screen" placarim >"$work/game.log" 2>&1) &
game=$!
# The program writes its screen to the dump file whenever the screen changes.
wait_for_row() {
  local pattern=$1 limit=$(($(date +%s) + $2))
  until [ -f "$screen" ] && grep -qE "$pattern" "$screen"; do
    kill -0 "$game" 2>/dev/null || { cat "$work/game.log"; fail "the game ended before showing: $pattern"; }
    [ "$(date +%s)" -lt "$limit" ] || { cat "$screen" 2>/dev/null; fail "no row $pattern"; }
    sleep 0.1
  done
}
wait_for_row '^1 - Treino no quintal$' 60
window=$(DISPLAY=":$display" timeout 30 xdotool search --sync --onlyvisible --pid "$game" | head -1) || true
[ -n "$window" ] || fail "no window of the game's process"
DISPLAY=":$display" xdotool key --window "$window" Escape
wait_for_row '^Fim do Jogo Placarim' 30
wait "$game" || fail "the game ended with status $?"
game=""
[ -z "$(ls -A "$work/run")" ] || fail "the programs wrote into the directory they started from: $(ls -A "$work/run")"

echo "== Purging"
installed=no
$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "${packages[@]}" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get purge"; }
left=()
for path in "${files[@]}"; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    # A directory may stay only while another package owns it.
    dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path")
  elif [ -e "$path" ] || [ -L "$path" ]; then
    left+=("$path")
  fi
done
[ ${#left[@]} -eq 0 ] || fail "left after purging: ${left[*]}"
echo "Installed, played and purged cleanly."
