# Sourced by the tests that run the real program under Xvfb: makes a scratch
# directory ($work), starts Xvfb on a display nobody uses and exports DISPLAY.
# On exit it ends the program under test ($app_pid, when set) and Xvfb, and
# removes the directory.

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 90 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      xdpyinfo -display ":$n" >/dev/null 2>&1 && { display=":$n"; break; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$display" ] && break
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
export DISPLAY=$display
unset QT_QPA_PLATFORM
