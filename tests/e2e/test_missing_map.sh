#!/usr/bin/env bash
# Without "NewWorld.kzm" beside the program: the display opens, the notice
# "Unable to load mapfile!" comes up over it with no frame drawn, and
# dismissing the notice ends the program with status 0.
source "$(dirname "$0")/lib.sh"

copy_program "$WORK/nomap" resource0.png
start_testbed "$WORK/nomap"
wait_dialog
click_button Windowed
wait_display

notice=""
for _ in $(seq 100); do
  for id in $(program_windows); do
    [ "$id" != "$DISPLAY_WIN" ] && notice=$id
  done
  [ -n "$notice" ] && break
  testbed_running || fail "the program ended (status $TESTBED_STATUS) without showing a notice"
  sleep 0.1
done
[ -n "$notice" ] || fail "no notice window came up"
# The notice waits for the user; behind it, the display stays black.
sleep 0.5
testbed_running || fail "the program ended (status $TESTBED_STATUS) while its notice should be waiting"
screenshot "$notice" "$WORK/notice.png"
[ "$(identify -format %k "$WORK/notice.png")" -gt 1 ] || fail "the notice window is blank"
screenshot "$DISPLAY_WIN" "$WORK/display.png"
for strip in 800x120+0+0 800x120+0+480; do
  [ "$(convert "$WORK/display.png" -crop "$strip" +repage -format '%[fx:maxima]' info:)" = 0 ] ||
    fail "the display is not black behind the notice ($strip): a frame was drawn"
done
grep -q "^It errored" "$WORK/testbed.out" || fail "no 'It errored' on standard output"
! grep -q "Initialized KZM header" "$WORK/testbed.out" || fail "'Initialized KZM header' without a map file"
ok "the notice comes up over a black display; standard output says 'It errored'"

xdotool key --window "$notice" Return 2>/dev/null || true
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "dismissing the notice: exit status $TESTBED_STATUS, expected 0"
[ -z "$(program_windows)" ] || fail "a program window is still open after the program ended"
ok "dismissing the notice ends the program with status 0"
