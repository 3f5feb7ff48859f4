#!/usr/bin/env bash
# The program finds its files in its own folder, not in the working
# directory: a copy of it with the sample files in a folder of its own (a
# space in the name, for good measure), started from /, shows the map.
source "$(dirname "$0")/lib.sh"

home="$WORK/test bed copy"
copy_program "$home" NewWorld.kzm resource0.png
start_testbed "$home" /
wait_dialog
click_button Windowed
wait_display
wait_steady_picture "$WORK/start.png"
grep -q "^Initialized KZM header" "$WORK/testbed.out" || fail "no 'Initialized KZM header': the map was not read"
expect_like_render "$WORK/start.png" "$home/NewWorld.kzm"
ok "started from /, the copy finds its map and tileset beside itself"

xdotool key --window "$DISPLAY_WIN" Escape 2>/dev/null || true
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "Escape: exit status $TESTBED_STATUS, expected 0"
ok "Escape ends it with status 0"
