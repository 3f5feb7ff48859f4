#!/usr/bin/env bash
# A full-screen run. The virtual screen (1280 x 1024) has no 800 x 600 mode,
# so the display takes the whole desktop and scales the 800 x 600 picture to
# fit it (1280 x 960, centred): it must show the same view of the map as a
# windowed run, and Escape must end the program with status 0.
source "$(dirname "$0")/lib.sh"

start_testbed "$BIN"
wait_dialog
click_button FullScreen

# The id changes once while SDL sets the window up for OpenGL: look it up
# afresh whenever it is needed.
full_screen_window() {
  local id
  for id in $(program_windows); do
    if [ "$(window_geometry "$id")" = "1280x1024+0+0" ]; then echo "$id"; return; fi
  done
}

for _ in $(seq 150); do
  DISPLAY_WIN=$(full_screen_window)
  [ -n "$DISPLAY_WIN" ] && break
  testbed_running || fail "the program ended before its full-screen display appeared (status $TESTBED_STATUS)"
  sleep 0.1
done
[ -n "$DISPLAY_WIN" ] || fail "no display covering the whole 1280x1024 screen appeared"
ok "Full Screen covers the whole screen"

# Wait for a drawn frame, then bring the scaled picture back to 800 x 600.
# (xwd, not import: import grabs the server and can wait for ever on a
# full-screen OpenGL window that keeps presenting.)
drawn=""
for _ in $(seq 20); do
  DISPLAY_WIN=$(full_screen_window)
  if [ -n "$DISPLAY_WIN" ] && timeout 20 xwd -id "$DISPLAY_WIN" -silent 2>>"$WORK/xwd.err" |
     convert xwd:- -define png:color-type=2 "png:$WORK/screen.png" 2>/dev/null &&
     [ "$(identify -format %k "$WORK/screen.png")" -gt 100 ]; then
    drawn=1
    break
  fi
  sleep 0.5
done
[ -n "$drawn" ] || { cat "$WORK/xwd.err" >&2; fail "the full-screen display never showed a drawn frame"; }
convert "$WORK/screen.png" -crop 1280x960+0+32 +repage -resize 800x600! -define png:color-type=2 "png:$WORK/view.png"
"$BIN/kzm" render "$BIN/NewWorld.kzm" -o "$WORK/render.png" 2>/dev/null || fail "kzm render failed"
# Scaling up and back down blurs edges, so compare on the whole picture: the
# root-mean-square difference stays small only if it is the same view.
rmse=$({ compare -metric RMSE "$WORK/view.png" "$WORK/render.png" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p')
awk -v e="$rmse" 'BEGIN { exit !(e < 0.05) }' || fail "the full-screen picture is not the map's start view (RMSE $rmse)"
ok "the full-screen display shows the same view as a window, scaled (RMSE $rmse)"

xdotool key --window "$DISPLAY_WIN" Escape 2>/dev/null || true
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "Escape: exit status $TESTBED_STATUS, expected 0"
ok "Escape ends the full-screen program with status 0"
