#!/usr/bin/env bash
# The dialog under a window manager: the outer frame, title bar and borders
# included, is 300 x 100 and centred on the desktop, where the toolkit alone
# would size and place the client area and so come out larger than asked and
# off by the frame. Its buttons still lie in the client area, and Quit still
# ends the program with status 0. The manager is openbox, which says how
# large its frames are (_NET_FRAME_EXTENTS) and starts in about half a
# second.
source "$(dirname "$0")/lib.sh"

command -v openbox >/dev/null || fail "openbox is missing (scripts/install-deps installs it)"

openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null || true; e2e_cleanup' EXIT
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || fail "openbox did not start"

copy_program "$WORK/alone"
start_testbed "$WORK/alone"
wait_dialog

# The client area's place and size, and the frame around it.
extents=""
for _ in $(seq 50); do
  extents=$(xprop -id "$DIALOG" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] && break
  sleep 0.1
done
[ -n "$extents" ] || fail "openbox gave the dialog no frame extents"
IFS=, read -r left right top bottom <<<"$extents"
info=$(xwininfo -id "$DIALOG")
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
w=$(sed -n 's/.*Width: *//p' <<<"$info")
h=$(sed -n 's/.*Height: *//p' <<<"$info")
read -r screen_w screen_h < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
frame="$((x - left)),$((y - top)) $((w + left + right))x$((h + top + bottom))"
expected="$((screen_w / 2 - 150)),$((screen_h / 2 - 50)) 300x100"
[ "$frame" = "$expected" ] || fail "the dialog's frame is $frame, expected $expected (frame extents $extents)"
ok "the dialog's outer frame is $frame, its client area ${w}x$h"

# The buttons end at x 290 and y 64 in the client area.
[ "$w" -ge 290 ] && [ "$h" -ge 64 ] || fail "the client area ${w}x$h cannot hold the buttons"
click_button Quit
wait_exit 5
[ "$TESTBED_STATUS" = 0 ] || fail "Quit: exit status $TESTBED_STATUS, expected 0"
ok "Quit, inside the smaller client area, ends the program with status 0"
