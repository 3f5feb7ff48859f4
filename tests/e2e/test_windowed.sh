#!/usr/bin/env bash
# A windowed run of the sample map, as a user sees it: the window shows what
# kzm render draws for the same files, holding Right moves the map to the
# right by whole steps of 6 pixels, and Escape ends the program with status 0.
source "$(dirname "$0")/lib.sh"

[ -f "$BIN/NewWorld.kzm" ] && [ -f "$BIN/resource0.png" ] || fail "the build did not put the sample map beside kzm-testbed"

start_testbed "$BIN"
wait_dialog
click_button Windowed
wait_display
wait_steady_picture "$WORK/start.png"
expect_like_render "$WORK/start.png" "$BIN/NewWorld.kzm"
ok "the window shows the sample map as kzm render draws it"

grep -q "^Initialized KZM header" "$WORK/testbed.out" || fail "no 'Initialized KZM header' on standard output"
! grep -q "It errored\|Threw an error\|Error occured" "$WORK/testbed.out" || fail "the load reported an error"
ok "standard output has 'Initialized KZM header' and no error line"

# Hold Right for half a second: some 30 frames at the display's refresh.
xdotool keydown --window "$DISPLAY_WIN" Right
sleep 0.5
xdotool keyup --window "$DISPLAY_WIN" Right
wait_steady_picture "$WORK/moved.png"
shift=$(horizontal_shift "$WORK/start.png" "$WORK/moved.png")
[ -n "$shift" ] || fail "after holding Right the picture is not the start picture moved sideways"
[ "$shift" -gt 0 ] || fail "holding Right did not move the map"
[ $((shift % 6)) -eq 0 ] || fail "the map moved $shift pixels, not a whole number of 6-pixel steps"
expect_like_render "$WORK/moved.png" "$BIN/NewWorld.kzm" --scroll "$((-300 + shift)),-500"
ok "holding Right moved the map $shift pixels to the right"

xdotool key --window "$DISPLAY_WIN" Escape 2>/dev/null || true
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "Escape: exit status $TESTBED_STATUS, expected 0"
[ -z "$(program_windows)" ] || fail "a program window is still open after the program ended"
ok "Escape ends the program with status 0"
