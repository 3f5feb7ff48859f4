#!/usr/bin/env bash
# The display's own tests on the accelerated (OpenGL) renderer that a window
# gets under X: the pixel test program skips them under the dummy driver.
source "$(dirname "$0")/lib.sh"

"$BIN/kzm-tests-pixel" --gtest_filter='AcceleratedDisplay.*' >"$WORK/gtest.out" 2>&1 || {
  cat "$WORK/gtest.out" >&2
  fail "the accelerated display tests failed"
}
if grep -q '\[  SKIPPED \]' "$WORK/gtest.out"; then
  cat "$WORK/gtest.out" >&2
  fail "no accelerated renderer under X: the display tests skipped"
fi
grep -q '\[  PASSED  \] 2 tests' "$WORK/gtest.out" || { cat "$WORK/gtest.out" >&2; fail "expected 2 tests to pass"; }
ok "frames filter without bleeding and land in place on the accelerated renderer"
