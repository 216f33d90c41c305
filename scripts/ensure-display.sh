# Sourced by the build scripts: gives the session an X display for Wine.
# With no DISPLAY set, a private Xvfb is started and stopped on exit.
if [ -z "${DISPLAY:-}" ]; then
    for n in 91 92 93 94 95 96 97 98; do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            QUILLANE_XVFB_PID=$!
            export DISPLAY=":$n"
            # Wait until the server accepts clients.
            for _ in 1 2 3 4 5 6 7 8 9 10; do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.3
            done
            trap 'kill "$QUILLANE_XVFB_PID" 2>/dev/null || true' EXIT
            break
        fi
    done
fi
