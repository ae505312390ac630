# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own and,
# unless a display is wanted and present, a private Xvfb that ends with the calling shell.
# After sourcing: WINEPREFIX, DISPLAY and the function wine_env_stop are set.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${POINTEX_WINEPREFIX:-${HOME:-/tmp}/.cache/pointex-wine}"
export LC_ALL=C.UTF-8

pointex_xvfb_pid=""

wine_env_start_xvfb() {
    local number=91
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pointex_xvfb_pid=$!
    export DISPLAY=":${number}"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "wine-env: Xvfb on $DISPLAY did not start" >&2
    return 1
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$pointex_xvfb_pid" ]; then
        kill "$pointex_xvfb_pid" 2>/dev/null || true
        wait "$pointex_xvfb_pid" 2>/dev/null || true
        pointex_xvfb_pid=""
    fi
}

if [ "${POINTEX_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    wine_env_start_xvfb
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
fi
# A persistent server makes each later start of a Windows program take a fraction of a
# second. Wine's own background processes start here, away from any test's output pipe.
wineserver -p
# Without a window manager Wine waits 2 s whenever a window is hidden unless it draws the
# frames itself; and a crash must print, not open a dialog that blocks an unattended run.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
