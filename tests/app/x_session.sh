# Sourced by the tests that run the real program under Xvfb: makes a scratch
# directory ($work), starts Xvfb on a display of its own and exports DISPLAY.
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

# Xvfb picks a free display number itself and reports it (-displayfd): two
# tests starting at once can then never end up on one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "no X display: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display
unset QT_QPA_PLATFORM
