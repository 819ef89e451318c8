#!/usr/bin/env bash
# The application started from ~/Downloads/Quorvane.app on a virtual X
# display: it offers the move, the offer is answered with Return, and it moves
# itself into the Applications folder (an older copy there goes to the
# Trash), removes the downloaded folder and starts again from the new place.
# Exit status 77 (skipped) when the X tools are missing.
#   move-test.sh BUILD_DIR SCRATCH_DIR
set -uo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (xvfb, xdotool)"; exit 77; }
done
build=$1
scratch=$2
[[ -d $build/Quorvane.app ]] || fail "no $build/Quorvane.app; build the app-folder target"
rm -rf "$scratch"
mkdir -p "$scratch/home/Downloads" "$scratch/opt/Applications/Quorvane.app"
cp -a "$build/Quorvane.app" "$scratch/home/Downloads/"
echo old >"$scratch/opt/Applications/Quorvane.app/old-version"

# The processes whose executable lies in a folder.
running_from() {
  local process
  for process in /proc/[0-9]*; do
    [[ $(readlink "$process/exe" 2>/dev/null) == "$1"/* ]] && echo "${process#/proc/}"
  done
}
# Whatever this test started ends with it.
stop_started() {
  local pid
  [[ -n $first ]] && kill "$first" 2>/dev/null
  for pid in $(running_from "$scratch/opt/Applications/Quorvane.app"); do kill "$pid" 2>/dev/null; done
  kill "$xvfb" 2>/dev/null
}

# A display of our own: the server picks a free number itself, so that other
# test runs on the machine cannot take the same one. No reset when the first
# instance, its only client, goes: the relaunched one connects right after.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
first=
trap 'stop_started' EXIT
for _ in $(seq 100); do
  [[ -s $scratch/display ]] && break
  sleep 0.1
done
[[ -s $scratch/display ]] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=:$(head -n1 "$scratch/display")

home=$scratch/home
destination=$scratch/opt/Applications/Quorvane.app
export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config
export QUORVANE_APPLICATIONS_DIRS=$home/Applications:$scratch/opt/Applications
unset QT_QPA_PLATFORM QUORVANE_HOME

relaunched=
"$home/Downloads/Quorvane.app/Contents/MacOS/quorvane" >"$scratch/first.log" 2>&1 &
first=$!
timeout 30 xdotool search --sync --name '^Quorvane$' >/dev/null ||
  fail "no window appeared: $(cat "$scratch/first.log")"
sleep 1 # let the offer take its size and place
# Without a window manager the keyboard goes to the window under the pointer;
# the offer sits in the middle of the screen, and Return is its move button.
xdotool mousemove 512 330 sleep 0.3 key Return

for _ in $(seq 200); do
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$first" 2>/dev/null && fail "the first instance is still running: $(cat "$scratch/first.log")"
wait "$first" || fail "the first instance ended with status $?: $(cat "$scratch/first.log")"
first=
grep -q "INFO -- Moving myself to the Applications folder" "$scratch/first.log" ||
  fail "the move was not logged: $(cat "$scratch/first.log")"

for _ in $(seq 200); do
  relaunched=$(running_from "$destination")
  [[ -n $relaunched ]] && break
  sleep 0.1
done
[[ -n $relaunched ]] || fail "nothing was started from $destination"
[[ -e $home/Downloads/Quorvane.app ]] && fail "the downloaded folder is still there"
[[ -x $destination/Contents/MacOS/quorvane && -f $destination/Contents/Info.plist ]] ||
  fail "the new copy is incomplete"
[[ -e $destination/old-version ]] && fail "the old copy was not replaced"
[[ $(cat "$XDG_DATA_HOME/Trash/files/Quorvane.app/old-version" 2>/dev/null) == old ]] ||
  fail "the old copy is not in the Trash"
# The relaunched copy is in place and makes no offer: it shows its main window.
sleep 2
kill -0 "$relaunched" 2>/dev/null || fail "the relaunched copy ended"
echo "moved to $destination and relaunched as process $relaunched"
