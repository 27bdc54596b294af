#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, starts the installed program for a first
# run with a fresh home folder (as root, then as an ordinary user), checks the working folder and
# the settings, and removes the package again. Installing needs root: elsewhere it skips; so it does
# when a mirda package is already installed, which stays untouched.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ "$(id -u)" -ne 0 ]; then
  echo "package test: skipped (installing a package needs root)"
  exit 0
fi

fail() {
  echo "package test: FAILED: $*" >&2
  exit 1
}

scratch=$(mktemp -d)
installed_here=false
chmod 755 "$scratch"
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  if [ "$installed_here" = true ]; then
    dpkg --purge mirda >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A mirda package that this test did not install belongs to the developer: it is left alone.
if dpkg-query -W -f='${Status}' mirda 2>/dev/null | grep -q 'installed'; then
  echo "package test: skipped (a mirda package is installed on this machine and is left as it is;" \
    "remove it with 'apt-get purge mirda' to run this test)"
  exit 0
fi

./scripts/package >/dev/null
deb=$(ls build/package/mirda_*.deb)
echo "package test: installing $deb"
installed_here=true
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb" >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log" >&2; fail "apt-get install"; }

[ "$(readlink -f /usr/bin/mirda)" = /usr/lib/mirda/mirda ] || fail "/usr/bin/mirda does not lead to /usr/lib/mirda/mirda"
[ -f /usr/lib/mirda/mirda.installed ] || fail "no package marker in the program folder"
for icon in scalable/apps/mirda.svg 48x48/apps/mirda.png 256x256/apps/mirda.png; do
  [ -s "/usr/share/icons/hicolor/$icon" ] || fail "icon $icon missing"
done
grep -qx 'Name\[ja\]=ミルダ' /usr/share/applications/mirda.desktop || fail "desktop entry without its Japanese name"

# Starts the installed program as the given user with a new home folder, waits until its main
# window is shown (it says so on MIRDA_STARTUP_LOG), ends it, and checks what the first run left.
first_run() {
  local user=$1 home="$scratch/home-$1"
  mkdir -p "$home"
  chown "$user:" "$home" 2>/dev/null || chown "$user" "$home"
  local log="$scratch/run-$user.log"
  : >"$log"
  (cd "$home" && exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups \
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_RUNTIME_DIR \
    HOME="$home" QT_QPA_PLATFORM=offscreen MIRDA_STARTUP_LOG=1 mirda) >>"$log" 2>&1 &
  program_pid=$!
  local waited=0
  until grep -q '^start-up: ' "$log"; do
    kill -0 "$program_pid" 2>/dev/null || { cat "$log" >&2; fail "$user: the program ended before its main window"; }
    [ "$waited" -lt 300 ] || { cat "$log" >&2; fail "$user: no main window within 30 s"; }
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=

  local working="$home/Documents/Mrda" ini="$home/.config/Mirda/Mrda.ini"
  cmp -s "$working/Sample01.txt" data/Sample01.txt || fail "$user: Sample01.txt not copied"
  cmp -s "$working/操作説明.txt" data/操作説明.txt || fail "$user: 操作説明.txt not copied"
  for folder in Pictures Musics; do
    diff -r "data/$folder" "$working/$folder" >/dev/null || fail "$user: $folder not copied"
  done
  [ -f "$ini" ] || fail "$user: no $ini"
  [ "$(wc -l <"$ini")" -eq 9 ] || fail "$user: $ini is not nine lines"
  [ "$(sed -n 2p "$ini")" = "Names = $working/Sample01.txt"$'\r' ] || fail "$user: $ini does not name the sample"
  [ "$(stat -c %U "$ini")" = "$user" ] || fail "$user: $ini belongs to $(stat -c %U "$ini")"
  [ ! -e /usr/lib/mirda/Mrda.ini ] || fail "$user: settings written into the program folder"
  echo "package test: first run as $user: working folder and settings as expected"
}

first_run root
first_run nobody

dpkg --purge mirda >/dev/null
! dpkg-query -W -f='${Status}' mirda 2>/dev/null | grep -q 'installed' || fail "still installed after purge"
for path in /usr/bin/mirda /usr/lib/mirda /usr/share/mirda /usr/share/applications/mirda.desktop; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path left after purge"
done
echo "package test: installed, ran and removed"
