#!/usr/bin/env bash
# kzm view, as a map maker uses it: the window opens on the map's top-left
# corner at zoom 1, showing what `kzm render --whole` draws there; - zooms
# out; a layer key hides that layer; a map changed on disk is shown again
# within a second, a broken one is refused while the last good one stays;
# Escape ends with status 0, and a map that cannot be read ends with 1
# before any window opens.
source "$(dirname "$0")/lib.sh"

MAP_DIR="$WORK/world"
"$BIN/kzm" sample "$MAP_DIR" >/dev/null 2>&1 || fail "kzm sample failed"
MAP="$MAP_DIR/NewWorld.kzm"
VIEW_WIN=""

# start_view ARGS...: kzm view in a process group of its own (the library's
# cleanup ends it), its output in $WORK/testbed.out and .err.
start_view() {
  : >"$WORK/testbed.out"
  : >"$WORK/testbed.err"
  setsid "$BIN/kzm" view "$@" >"$WORK/testbed.out" 2>"$WORK/testbed.err" </dev/null &
  TESTBED_PID=$!
  TESTBED_STATUS=""
}

view_title() {
  xwininfo -root -tree 2>/dev/null | awk -v id="$VIEW_WIN" '$1 == id' | sed -n 's/^[^"]*"\(.*\)": (.*/\1/p'
}

# Waits (up to 15 s) for the 800 x 600 viewer window at (32, 32).
wait_view() {
  local id
  for _ in $(seq 150); do
    for id in $(xwininfo -root -tree 2>/dev/null | awk '/"kzm view: / {print $1}'); do
      if [ "$(window_geometry "$id")" = "800x600+32+32" ]; then
        VIEW_WIN=$id
        return 0
      fi
    done
    testbed_running || fail "kzm view ended before its window appeared (status $TESTBED_STATUS)"
    sleep 0.1
  done
  fail "no 800x600 kzm view window at (32, 32) appeared"
}

# whole_crop FILE [kzm render options]...: the whole-map render on black,
# cut to the window's 800 x 600.
whole_crop() {
  local file=$1
  shift
  "$BIN/kzm" render "$MAP" -o "$WORK/whole.png" --whole --background 000000 "$@" 2>"$WORK/render.err" ||
    { cat "$WORK/render.err" >&2; fail "kzm render --whole $* failed"; }
  convert "$WORK/whole.png" -crop 800x600+0+0 +repage -define png:color-type=2 "png:$file"
}

# shows_like PICTURE: the window's picture matches PICTURE within the
# tolerance of the window's renderer against the software one.
shows_like() {
  screenshot "$VIEW_WIN" "$WORK/shot.png"
  [ "$(peak_difference "$WORK/shot.png" "$1")" -le "$RENDER_TOLERANCE" ]
}

# A map that cannot be read: status 1, no window.
start_view "$WORK/missing.kzm"
wait_exit 10
[ "$TESTBED_STATUS" = 1 ] || fail "a missing map ended with status $TESTBED_STATUS, not 1"
grep -q "kzm view: cannot read" "$WORK/testbed.err" || fail "no reason given for the missing map"
[ -z "$(xwininfo -root -tree 2>/dev/null | awk '/"kzm view: /')" ] || fail "a window opened for a missing map"
ok "a map that cannot be read ends with 1 before any window"

start_view "$MAP"
wait_view
wait_steady_picture_of() { DISPLAY_WIN=$VIEW_WIN wait_steady_picture "$1"; }
wait_steady_picture_of "$WORK/start.png"
whole_crop "$WORK/expected-start.png"
peak=$(peak_difference "$WORK/start.png" "$WORK/expected-start.png")
[ "$peak" -le "$RENDER_TOLERANCE" ] || fail "the start picture differs from the whole render by $peak levels"
case "$(view_title)" in
  "kzm view: New World | zoom 100% | "*" fps") ;;
  *) fail "unexpected title '$(view_title)'" ;;
esac
ok "the start picture is the whole-map render cropped to the window ($(view_title))"

xdotool key --window "$VIEW_WIN" minus
sleep 0.5
screenshot "$VIEW_WIN" "$WORK/zoomed.png"
[ "$(peak_difference "$WORK/zoomed.png" "$WORK/start.png")" -gt 50 ] || fail "zooming out changed nothing"
case "$(view_title)" in *"zoom 70.7%"*) ;; *) fail "the title does not show the zoom: '$(view_title)'" ;; esac
ok "- zooms out ($(view_title))"

xdotool key --window "$VIEW_WIN" Home
sleep 0.3
xdotool key --window "$VIEW_WIN" 2
sleep 0.5
whole_crop "$WORK/expected-hidden.png" --hide-layer 1
shows_like "$WORK/expected-hidden.png" || fail "key 2 did not hide layer 1 (back at the start view)"
case "$(view_title)" in *"hidden layers 1 "*) ;; *) fail "the title does not name the hidden layer: '$(view_title)'" ;; esac
xdotool key --window "$VIEW_WIN" 2
sleep 0.3
shows_like "$WORK/expected-start.png" || fail "key 2 again did not show layer 1 again"
ok "Home returns to the start; 2 hides and shows layer 1"

# Dragging pans: the picture follows the pointer, 100 pixels to the right.
xdotool mousemove --window "$VIEW_WIN" 300 300 mousedown 1
sleep 0.2
for x in 325 350 375 400; do
  xdotool mousemove --window "$VIEW_WIN" "$x" 300
  sleep 0.1
done
xdotool mouseup 1
sleep 0.4
screenshot "$VIEW_WIN" "$WORK/dragged.png"
shift=$(horizontal_shift "$WORK/start.png" "$WORK/dragged.png")
[ "$shift" = 100 ] || fail "dragging 100 pixels to the right moved the picture by '${shift:-no shift}'"
ok "dragging pans the map with the pointer"

# The wheel zooms (one step out), F fits the 2,048-pixel map into 800 x 600.
xdotool key --window "$VIEW_WIN" Home
xdotool click --window "$VIEW_WIN" 5
sleep 0.4
case "$(view_title)" in *"zoom 70.7%"*) ;; *) fail "the wheel did not zoom out: '$(view_title)'" ;; esac
xdotool key --window "$VIEW_WIN" f
sleep 0.4
case "$(view_title)" in *"zoom 29.3%"*) ;; *) fail "F did not fit the map: '$(view_title)'" ;; esac
xdotool key --window "$VIEW_WIN" Home
sleep 0.3
shows_like "$WORK/expected-start.png" || fail "Home did not return to the start view"
ok "the wheel zooms, F fits the map, Home returns"

# LayerCount sits after the header (12 bytes), the name's length and the
# name, columns, rows and the tile size: set it to 1 on disk.
/usr/bin/python3 - "$MAP" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
name = struct.unpack_from("<i", data, 12)[0]
struct.pack_into("<i", data, 32 + name, 1)
open(path, "wb").write(data)
PY
whole_crop "$WORK/expected-edited.png"
start=$(date +%s%N)
until shows_like "$WORK/expected-edited.png"; do
  [ $(($(date +%s%N) - start)) -lt 3000000000 ] || fail "the map changed on disk was not shown again within 3 s"
done
elapsed=$((($(date +%s%N) - start) / 1000000))
ok "a map changed on disk is shown again (seen after $elapsed ms)"

cp "$MAP" "$WORK/good.kzm"
head -c 30 "$WORK/good.kzm" >"$MAP"
for _ in $(seq 30); do
  grep -q "kzm view: reload failed" "$WORK/testbed.err" && break
  sleep 0.1
done
grep -q "kzm view: reload failed" "$WORK/testbed.err" || fail "a broken map on disk was not reported"
case "$(view_title)" in *"reload failed"*) ;; *) fail "the title does not say the reload failed: '$(view_title)'" ;; esac
shows_like "$WORK/expected-edited.png" || fail "a failed reload did not keep the last good map on screen"
ok "a broken map on disk is refused, the last good one stays"

xdotool key --window "$VIEW_WIN" Escape
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "Escape ended kzm view with status $TESTBED_STATUS"
ok "Escape ends with status 0"

cp "$WORK/good.kzm" "$MAP"
start_view "$MAP"
wait_view
request_close "$VIEW_WIN"
wait_exit 10
[ "$TESTBED_STATUS" = 0 ] || fail "the close box ended kzm view with status $TESTBED_STATUS"
ok "the window's close box ends with status 0"
