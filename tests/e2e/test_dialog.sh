#!/usr/bin/env bash
# The display-mode dialog's ways out: clicking Quit, asking the window to
# close (its close box), and Escape (which clicks the cancel button "Quit").
# Each ends the program with status 0 before any display is opened or any
# file read. The program runs from a folder holding nothing but itself: had
# it gone on to load the map, it would have stopped on the "Unable to load
# mapfile!" notice instead of ending.
source "$(dirname "$0")/lib.sh"

copy_program "$WORK/alone"

for way in quit-button close-request escape-key; do
  start_testbed "$WORK/alone"
  wait_dialog
  case $way in
    quit-button) click_button Quit ;;
    close-request) request_close "$DIALOG" ;;
    # The dialog may be gone before the key's release is sent, which
    # xdotool reports as an error: the release does not matter.
    escape-key) xdotool key --window "$DIALOG" Escape 2>/dev/null || true ;;
  esac
  # Watch for a display window until the program has ended.
  for _ in $(seq 100); do
    [ -z "$(program_windows)" ] || fail "$way: a program window opened after the dialog"
    testbed_running || break
    sleep 0.1
  done
  wait_exit 1
  [ "$TESTBED_STATUS" = 0 ] || fail "$way: exit status $TESTBED_STATUS, expected 0"
  [ ! -s "$WORK/testbed.out" ] || fail "$way: the program printed to standard output (did it read a file?)"
  [ -z "$(timeout 2 xdotool search --name '^KZM Test Game Engine$' 2>/dev/null)" ] ||
    fail "$way: the dialog is still on the screen"
  ok "$way ends with status 0 and opens no display"
done
