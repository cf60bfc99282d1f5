#!/usr/bin/env bash
# Pictures of the game's screens as a new player meets them, taken from the real game (the
# build's build/bin/vimo) in a virtual X display of the game's own size, with a fresh personal
# folder: the title, the options, the best scores, the player list and its delete
# confirmation, the travel map of the academy and its menu, the first mission with its tips
# and a few shots' captions, the pause menu and each of its confirmations.
#   tools/content/screens.sh [OUT_DIR]    (default tools/content/previews/screens)
# Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb xdotool imagemagick). The waits
# are generous: a busy machine draws slowly.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/tools/content/previews/screens}
bin=$root/build/bin/vimo
[ -x "$bin" ] || { echo "no $bin: build first"; exit 1; }
mkdir -p "$out"

home=$(mktemp -d)
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$display_file")
rm -f "$display_file"
export HOME=$home XDG_DATA_HOME=$home/xdg SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER
(cd "$(dirname "$bin")" && exec ./vimo) >"$home/vimo.out" 2>&1 &
game=$!
trap 'kill $game $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$home"' EXIT

window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --pid $game 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "no window of the game"; exit 1; }

pause() { sleep "$1"; }
key() { xdotool key --window "$window" "$1"; pause "${2:-1.5}"; }
# A click at a point of the game's 1024 x 768 screen: the pointer comes over it, then presses.
click() {
    xdotool mousemove --window "$window" $(($1 - 4)) $(($2 - 4)); pause 0.2
    xdotool mousemove --window "$window" "$1" "$2"; pause 0.3
    xdotool click 1; pause "${3:-2.5}"
}
# A shot: a press at the first point, a pull to the second, a release there.
drag() {
    xdotool mousemove --window "$window" "$1" "$2"; pause 0.3
    xdotool mousedown 1; pause 0.3
    xdotool mousemove --window "$window" $((($1 + $3) / 2)) $((($2 + $4) / 2)); pause 0.2
    xdotool mousemove --window "$window" "$3" "$4"; pause 0.3
    xdotool mouseup 1
}
shot() { import -window root "$out/$1.png" && echo "$out/$1.png"; }

pause 5
for _ in 1 2 3; do key space 1; done
pause 3
shot title
click 512 462; shot options
click 722 507
click 512 522; shot best_scores
key Escape
click 512 342; shot players
click 632 514; shot players_delete_confirmation
click 612 466
click 612 606
# Play: the new game's mode (casual), then the travel map with its first tip.
click 512 402 3
key Return 4
shot academy_map_tip
key Return 2
shot academy_map
key Escape 2
shot academy_map_menu
key Escape 2
key Return 5
shot mission_tip
for _ in 1 2 3 4; do key Return 1.5; done
shot mission
# Shots from across the yard towards its middle: the bursts' points and captions rise.
n=0
for line in "330 300 285 275" "700 300 745 275" "330 520 285 550" "700 520 745 550" "520 280 518 240" "520 540 522 580"; do
    set -- $line
    drag "$1" "$2" "$3" "$4"
    pause 0.6
    n=$((n + 1))
    shot "mission_shot$n"
    pause 2.5
    key Return 0.5
done
key Escape 2
shot pause_menu
click 512 356; shot pause_main_menu_confirmation
click 602 466
key Escape 2
click 512 426; shot pause_quit_confirmation
click 602 466
