#!/bin/sh
# Runs a Windows program of the cross build under wine, in the build's own
# prefix: quiet, no display, no install dialogs. The first run makes the
# prefix; the first run of a session starts one persistent wineserver and
# wine's own services, with no terminal or pipe of ours open: a service
# holding ctest's output pipe would keep the test from ending. `--stop` ends
# the session. A lock makes parallel runs wait for all of this.
# usage: wine_run.sh PREFIX PROGRAM [ARGUMENT ...] | wine_run.sh PREFIX --stop
set -eu
export WINEPREFIX="$1"
shift
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset DISPLAY WAYLAND_DISPLAY
if [ "${1:-}" = --stop ]; then
  wineserver -k 2>/dev/null || true
  exit 0
fi
# Wine's own processes outlive this script: none may keep our output or the lock.
detached() { "$@" </dev/null >/dev/null 2>&1 9>&-; }
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # wineboot returns before the server has written the registry.
    detached wineboot -i || true
    detached wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || exit 1
  fi
  if detached wineserver -p; then  # false when the server already runs
    detached wineboot
  fi
) 9>"$WINEPREFIX.lock" || {
  echo "wine_run.sh: wineboot cannot make the prefix $WINEPREFIX (are wine and wine32 installed? scripts/setup.sh)" >&2
  exit 1
}
exec wine "$@"
