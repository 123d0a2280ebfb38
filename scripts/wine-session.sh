# Sourced by check.sh: one display, one private Wine prefix and one primed Wine server for the whole run.
# Exports DISPLAY, WINEPREFIX, WINEARCH, WINEDEBUG and QB_PORT_DIR; wine_session_end stops what it started.

# The ports mapped, each to $QB_PORT_DIR/com<n>, where a test links a pseudo-terminal
# (a path nobody links makes a port that is listed but cannot be configured):
#   COM1, COM2  the Win32 tests' null-modem pair; COM1 the end-to-end tests' panel
#   COM3        never linked: a port that does not work
#   COM5        a simulated panel board's line
#   COM7, COM12 ports beyond COM3, as USB serial chips get them (COM12 opens only as
#               \\.\COM12); COM4 stays unmapped (Wine gives it to /dev/ttyS0, if any).
# QB_MAPPED_PORTS, when set, replaces the list (scripts/render-dialog.sh maps 1 2 3).
qb_test_ports="1 2 3 5 7 12"

wine_session_start() {
  local root=$1
  export WINEARCH=win32 WINEDEBUG=-all
  export WINEPREFIX=$root/prefix
  export QB_PORT_DIR=$root/ports
  mkdir -p "$root" "$QB_PORT_DIR"
  rm -f "$QB_PORT_DIR"/com*

  # Xvfb picks a free display and tells us its number.
  local fd_file=$root/display
  rm -f "$fd_file"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  [ -s "$fd_file" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n1 "$fd_file")

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # The map is made anew, so that a prefix used with another map keeps none of it.
  wine reg delete 'HKLM\Software\Wine\Ports' /f </dev/null >/dev/null 2>&1 || true
  local n
  for n in ${QB_MAPPED_PORTS:-$qb_test_ports}; do
    wine_reg 'HKLM\Software\Wine\Ports' /v COM$n /d "$QB_PORT_DIR/com$n"
  done
  wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  wine_reg 'HKCU\Software\Wine' /v ShowDotFiles /d Y
  # The port mapping takes effect when the server starts: restart it, persistent this
  # time and with its output thrown away, so that later wine processes do not hold the
  # test runner's pipes open. One trivial program starts its helper processes the same way.
  wineserver -k </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1
  wine reg query 'HKLM\Software\Wine\Ports' </dev/null >/dev/null 2>&1
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/.qb-copied" ]; then
    cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
    touch "$fonts/.qb-copied"
  fi
}

wine_reg() {
  wine reg add "$@" /f </dev/null >/dev/null 2>&1
}

wine_session_end() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k </dev/null >/dev/null 2>&1
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  return 0
}
