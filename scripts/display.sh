# Sourced: makes sure DISPLAY names a working X server. Uses the caller's display when it answers,
# otherwise starts (once) a virtual Xvfb display that later runs reuse.
kelvad_ensure_display() {
    if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local file=$KELVAD_WINE/xvfb.display
    if [[ -f $file ]]; then
        export DISPLAY=$(cat "$file")
        xdpyinfo >/dev/null 2>&1 && return 0
    fi
    mkdir -p "$KELVAD_WINE"
    local n
    for n in $(seq 91 120); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$KELVAD_WINE/xvfb.log" 2>&1 </dev/null &
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && { echo "$DISPLAY" >"$file"; return 0; }
            sleep 0.1
        done
    done
    echo "could not start a virtual display (Xvfb)" >&2
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
