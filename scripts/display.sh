# Sourced: makes sure DISPLAY names a working X server. Uses the caller's display when it answers,
# otherwise starts (once) a virtual Xvfb display that later runs reuse.
#
# Our own Xvfb is known by its process id, kept beside its display number: it counts as there while that
# process lives. Asking its socket instead can time out on a loaded machine, and starting a second display then
# would restart the wineserver under a running test.
kelvad_xvfb_alive() {
    local pid display
    pid=$(cat "$KELVAD_WINE/xvfb.pid" 2>/dev/null) || return 1
    display=$(cat "$KELVAD_WINE/xvfb.display" 2>/dev/null) || return 1
    [[ -n $pid && -r /proc/$pid/cmdline ]] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "^Xvfb $display "
}

kelvad_ensure_display() {
    mkdir -p "$KELVAD_WINE"
    local file=$KELVAD_WINE/xvfb.display
    # The caller's own display (not one of ours): used when it answers.
    if [[ -n ${DISPLAY:-} && $DISPLAY != "$(cat "$file" 2>/dev/null)" ]] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    # One caller at a time decides whether to start the display: the program and a test's driver start together.
    exec {lock}>"$KELVAD_WINE/xvfb.lock"
    flock "$lock"
    if kelvad_xvfb_alive && [[ -f $file ]]; then
        export DISPLAY=$(cat "$file")
        flock -u "$lock"
        exec {lock}>&-
        return 0
    fi
    local n i started=0
    for n in $(seq 91 120); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$KELVAD_WINE/xvfb.log" 2>&1 </dev/null {lock}>&- &
        echo $! >"$KELVAD_WINE/xvfb.pid"
        echo ":$n" >"$file"
        export DISPLAY=":$n"
        # Ready once it takes a client; a display that never does is given up (its process ended).
        for i in $(seq 300); do
            xdpyinfo >/dev/null 2>&1 && { started=1; break; }
            kelvad_xvfb_alive || break
            sleep 0.1
        done
        ((started)) && break
        kill "$(cat "$KELVAD_WINE/xvfb.pid")" 2>/dev/null || true
    done
    ((started)) || rm -f "$file"
    flock -u "$lock"
    exec {lock}>&-
    ((started)) && return 0
    echo "could not start a virtual display (Xvfb); see $KELVAD_WINE/xvfb.log" >&2
    return 1
}

# A wineserver that started on another display (or none) breaks later windows: restart it then.
kelvad_match_wineserver() {
    local file=$KELVAD_WINE/server.display
    if [[ ! -f $file || $(cat "$file") != "$DISPLAY" ]]; then
        wineserver -k 2>/dev/null || true
        echo "$DISPLAY" >"$file"
    fi
}
