# Shared by the end-to-end scripts (tests/e2e/test_*.sh). A script sources
# this file first thing, with the bin dir (where kzm-testbed, kzm and the
# sample files are) as its first argument. The script then runs inside its
# own Xvfb server (scripts/xvfb-session), with a time limit, a scratch folder
# and a cleanup trap that ends every program it started, by process group.
set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_NAME=$(basename "$0" .sh)

if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 BIN_DIR" >&2
  exit 2
fi

# Once, re-run the whole script inside a fresh X server. The limit stays
# below CTest's own so that our traps, not CTest, do the cleaning up.
if [ -z "${KZM_E2E_SESSION:-}" ]; then
  export KZM_E2E_SESSION=1
  exec timeout -k 5 150 "$E2E_ROOT/scripts/xvfb-session" bash "$0" "$@"
fi

for tool in xdotool xwininfo import compare identify setsid /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "$E2E_NAME: $tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kzm-e2e.XXXXXX")
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

TESTBED_PID=""     # the running test bed, leader of its own process group
TESTBED_STATUS=""  # its exit status, once it has ended
DIALOG=""          # the display-mode dialog's window
DISPLAY_WIN=""     # the program's 800 x 600 display window

e2e_cleanup() {
  if [ -n "$TESTBED_PID" ]; then
    kill -9 -- "-$TESTBED_PID" 2>/dev/null || true
    wait "$TESTBED_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL [$E2E_NAME]: $*" >&2
  for f in "$WORK"/testbed.out "$WORK"/testbed.err; do
    [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; cat "$f" >&2; }
  done
  exit 1
}

ok() { echo "ok: $*"; }

# start_testbed DIR [CWD]: starts DIR/kzm-testbed from the folder CWD (DIR
# itself by default), in a process group of its own, standard output and
# error going to $WORK/testbed.out and .err.
start_testbed() {
  local dir=$1 cwd=${2:-$1}
  : >"$WORK/testbed.out"
  : >"$WORK/testbed.err"
  # A background job of a script is no group leader, so setsid needs no
  # fork and $! is the program's own pid (and its process group's id).
  (cd "$cwd" && exec setsid "$dir/kzm-testbed" >"$WORK/testbed.out" 2>"$WORK/testbed.err" </dev/null) &
  TESTBED_PID=$!
  TESTBED_STATUS=""
}

# Waits (up to 15 s) for the display-mode dialog and sets DIALOG.
wait_dialog() {
  DIALOG=$(timeout 15 xdotool search --sync --onlyvisible --name '^KZM Test Game Engine$' 2>/dev/null | head -n1) ||
    true
  [ -n "$DIALOG" ] || fail "the dialog 'KZM Test Game Engine' did not appear"
}

# click_button Windowed|FullScreen|Quit: a left click in the middle of the
# dialog's button (the buttons' places are in the window's client area).
click_button() {
  local x
  case $1 in
    Windowed) x=55 ;;
    FullScreen) x=160 ;;
    Quit) x=255 ;;
    *) fail "no button $1" ;;
  esac
  xdotool mousemove --window "$DIALOG" "$x" 52 click 1
}

# The top-level windows titled like the program (its display window and its
# message boxes: SDL titles both with the application title), one id a line.
# xdotool cannot find SDL's windows by name, xwininfo can.
program_windows() {
  xwininfo -root -tree 2>/dev/null | awk '/"kzm-testbed"/ {print $1}'
}

window_geometry() {
  xwininfo -root -tree 2>/dev/null | awk -v id="$1" '$1 == id {for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {print $i; exit}}'
}

# Waits (up to 15 s) for the 800 x 600 display window at (32, 32); sets DISPLAY_WIN.
wait_display() {
  local id
  for _ in $(seq 150); do
    for id in $(program_windows); do
      if [ "$(window_geometry "$id")" = "800x600+32+32" ]; then
        DISPLAY_WIN=$id
        return 0
      fi
    done
    testbed_running || fail "the program ended before its display appeared (status $TESTBED_STATUS)"
    sleep 0.1
  done
  fail "no 800x600 display window at (32, 32) appeared"
}

testbed_running() {
  if [ -n "$TESTBED_STATUS" ]; then return 1; fi
  if kill -0 "$TESTBED_PID" 2>/dev/null && [ "$(ps -o stat= -p "$TESTBED_PID" 2>/dev/null | cut -c1)" != Z ]; then
    return 0
  fi
  local status=0
  wait "$TESTBED_PID" || status=$?
  TESTBED_STATUS=$status
  return 1
}

# wait_exit SECONDS: waits for the program to end; fails if it has not by then.
# Sets TESTBED_STATUS.
wait_exit() {
  local tenths=$(($1 * 10))
  for _ in $(seq "$tenths"); do
    testbed_running || return 0
    sleep 0.1
  done
  fail "the program was still running after $1 s"
}

# screenshot WINDOW FILE: the window's pixels as an RGB PNG.
screenshot() {
  import -window "$1" -define png:color-type=2 "png:$2" 2>/dev/null || fail "cannot take a screenshot of window $1"
}

# Waits (up to 10 s) until the display shows a drawn frame that stays put,
# then leaves it in FILE.
wait_steady_picture() {
  local file=$1
  for _ in $(seq 50); do
    screenshot "$DISPLAY_WIN" "$WORK/steady-a.png"
    if [ "$(identify -format %k "$WORK/steady-a.png")" -gt 100 ]; then
      sleep 0.1
      screenshot "$DISPLAY_WIN" "$WORK/steady-b.png"
      if [ "$(compare -metric AE "$WORK/steady-a.png" "$WORK/steady-b.png" null: 2>&1)" = 0 ]; then
        mv "$WORK/steady-b.png" "$file"
        return 0
      fi
    fi
    sleep 0.1
  done
  fail "the display never showed a steady drawn frame"
}

# The largest difference of any channel of any pixel between two pictures of
# equal size, in 0..255 levels.
peak_difference() {
  local normalised
  normalised=$(compare -metric PAE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
  [ -n "$normalised" ] || fail "cannot compare $1 with $2"
  awk -v n="$normalised" 'BEGIN { printf "%d\n", n * 255 + 0.5 }'
}

# Asks a window to close, as its close box does: the WM_DELETE_WINDOW
# message of the window-system protocol (there is no window manager here to
# send it for us).
request_close() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
window = d.create_resource_object("window", int(sys.argv[1], 0))
protocols = d.intern_atom("WM_PROTOCOLS")
message = protocol.event.ClientMessage(
    window=window, client_type=protocols, data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
window.send_event(message, event_mask=X.NoEventMask)
d.flush()
PY
}

# copy_program DIR [FILE]...: kzm-testbed and the named files from the bin
# dir into a new folder DIR.
copy_program() {
  local dir=$1
  shift
  mkdir -p "$dir"
  cp "$BIN/kzm-testbed" "$dir/"
  local f
  for f in "$@"; do cp "$BIN/$f" "$dir/"; done
}

# The tolerance of a screenshot against `kzm render` of the same view, in
# levels of one channel. The window draws through OpenGL (llvmpipe under
# Xvfb) and kzm render through SDL's software renderer: tiles at scale 1,
# mirrored or not, masked or not, come out identical, but where a tile is
# scaled up the two interpolate linearly with different rounding, a few
# levels apart at colour edges (3 at most on the sample map).
RENDER_TOLERANCE=4

# expect_like_render PICTURE MAP [kzm render options]...: the picture (a
# screenshot of the display) shows what kzm render draws for that map.
expect_like_render() {
  local picture=$1 map=$2
  shift 2
  "$BIN/kzm" render "$map" -o "$WORK/render.png" "$@" 2>"$WORK/render.err" || {
    cat "$WORK/render.err" >&2
    fail "kzm render $map $* failed"
  }
  [ "$(identify -format %wx%h "$picture")" = 800x600 ] || fail "$picture is not 800x600"
  [ "$(identify -format %k "$WORK/render.png")" -gt 100 ] || fail "kzm render drew next to nothing"
  local peak
  peak=$(peak_difference "$picture" "$WORK/render.png")
  if [ "$peak" -gt "$RENDER_TOLERANCE" ]; then
    compare "$picture" "$WORK/render.png" "$WORK/difference.png" 2>/dev/null || true
    mkdir -p "${TMPDIR:-/tmp}/kzm-e2e-failures"
    cp "$picture" "$WORK/render.png" "$WORK/difference.png" "${TMPDIR:-/tmp}/kzm-e2e-failures/" 2>/dev/null || true
    fail "the display differs from kzm render $* by up to $peak levels (pictures kept in ${TMPDIR:-/tmp}/kzm-e2e-failures)"
  fi
}

# horizontal_shift BEFORE AFTER: how many pixels to the right the picture
# moved between two screenshots, found on three rows that must agree; empty
# when no shift from 0 to 799 fits.
horizontal_shift() {
  local y shifts=""
  for y in 50 300 550; do
    convert "$1" -crop "800x1+0+$y" +repage -depth 8 rgb:- | od -An -v -tu1 >"$WORK/row-before"
    convert "$2" -crop "800x1+0+$y" +repage -depth 8 rgb:- | od -An -v -tu1 >"$WORK/row-after"
    shifts+=" $(awk -v tolerance="$RENDER_TOLERANCE" '
      FNR == 1 { file++ }
      { for (i = 1; i <= NF; i++) { if (file == 1) a[na++] = $i; else b[nb++] = $i } }
      END {
        width = na / 3
        for (d = 0; d < width; d++) {
          fits = 1
          for (i = 0; fits && i < (width - d) * 3; i++) {
            diff = b[i + d * 3] - a[i]
            if (diff > tolerance || diff < -tolerance) fits = 0
          }
          if (fits) { print d; exit }
        }
      }' "$WORK/row-before" "$WORK/row-after")"
  done
  # shellcheck disable=SC2086
  set -- $shifts
  if [ $# -eq 3 ] && [ "$1" = "$2" ] && [ "$2" = "$3" ]; then echo "$1"; fi
}
