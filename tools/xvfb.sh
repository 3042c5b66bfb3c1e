# Sourced by the scripts that need a display. start_xvfb: when no display is set, starts Xvfb on
# the first free display number at 1920x1080, exports DISPLAY and leaves its process id in
# xvfb_pid (empty when a display was already set). The caller owns stopping it.
start_xvfb() {
  xvfb_pid=
  [ -n "${DISPLAY:-}" ] && return 0
  local n display=
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
  done
  [ -n "$display" ] || { echo "no free display number between :90 and :140" >&2; return 1; }
  # -noreset: a server that resets when its last client leaves refuses the next one now and then.
  Xvfb "$display" -screen 0 1920x1080x24 -noreset -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
}
