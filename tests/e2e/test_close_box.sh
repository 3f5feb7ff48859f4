#!/usr/bin/env bash
# The display window's close box does nothing: the program ignores the
# request to close, keeps drawing and keeps answering the keys. After the
# request, holding Right still moves the map, and Escape still ends the
# program with status 0. (A program that ended on the window system's quit
# message, or stopped drawing, would fail here.)
source "$(dirname "$0")/lib.sh"

start_testbed "$BIN"
wait_dialog
click_button Windowed
wait_display
wait_steady_picture "$WORK/start.png"

# The close box's message, twice over, with time to act on each.
request_close "$DISPLAY_WIN"
sleep 0.5
request_close "$DISPLAY_WIN"
sleep 0.5
testbed_running || fail "a close request ended the program (status $TESTBED_STATUS)"
[ "$(window_geometry "$DISPLAY_WIN")" = "800x600+32+32" ] || fail "the display window is gone after a close request"
ok "a close request leaves the program running and its window open"

xdotool keydown --window "$DISPLAY_WIN" Right
sleep 0.5
xdotool keyup --window "$DISPLAY_WIN" Right
wait_steady_picture "$WORK/moved.png"
shift=$(horizontal_shift "$WORK/start.png" "$WORK/moved.png")
[ -n "$shift" ] && [ "$shift" -gt 0 ] || fail "after the close request, holding Right did not move the map"
expect_like_render "$WORK/moved.png" "$BIN/NewWorld.kzm" --scroll "$((-300 + shift)),-500"
ok "after the close request the map still scrolls: $shift pixels to the right"

xdotool key --window "$DISPLAY_WIN" Escape 2>/dev/null || true
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "Escape: exit status $TESTBED_STATUS, expected 0"
ok "Escape ends the program with status 0"
