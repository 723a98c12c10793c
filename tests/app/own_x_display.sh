# Sourced by the desktop tests: makes a scratch directory ($work) and gives
#   start_own_display [screen]
# which starts Xvfb on a display number that Xvfb picks and reports itself
# (-displayfd), so that two tests starting at once never end up on one
# server, and exports DISPLAY. On exit the processes listed in $to_end and
# Xvfb are ended and the directory removed.

work=$(mktemp -d)
xvfb_pid=""
to_end=()
cleanup() {
  for pid in "${to_end[@]}" "$xvfb_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_own_display() {
  local screen=${1:-1024x768x24}
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; return 1; }
  export DISPLAY=:$(head -n 1 "$work/display")
  unset QT_QPA_PLATFORM
}
