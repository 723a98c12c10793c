# Sourced by the tests that run the real program: starts Xvfb on a display
# nobody uses and exports DISPLAY. Sets xvfb_pid for the caller's clean-up;
# its log goes to "$1/xvfb.log".
start_x_display() {
  local log=$1/xvfb.log n
  display=""
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
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
  [ -n "$display" ] || { echo "no free X display"; return 1; }
  export DISPLAY=$display
  unset QT_QPA_PLATFORM
}
