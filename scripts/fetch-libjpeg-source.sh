#!/bin/sh
# Fetches Debian's libjpeg-turbo source tarball for the Windows cross build
# and prints its path. The tarball lives in a cache outside the source tree
# (QUILLANE_CACHE, default ~/.cache/quillane) and is fetched only once.
set -eu

CACHE="${QUILLANE_CACHE:-$HOME/.cache/quillane}"
mkdir -p "$CACHE"

found=$(ls "$CACHE"/libjpeg-turbo_*.orig.tar.gz 2>/dev/null | head -n 1 || true)
if [ -n "$found" ]; then
    echo "$found"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

# apt-get source needs a deb-src entry; derive one from the binary entry.
SRCLIST=/etc/apt/sources.list.d/quillane-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && \
   ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            | $SUDO tee "$SRCLIST" >/dev/null
    else
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/quillane-deb-src.list >/dev/null
    fi
    $SUDO apt-get update -qq >&2
fi

(cd "$CACHE" && apt-get source --download-only libjpeg-turbo >&2)
ls "$CACHE"/libjpeg-turbo_*.orig.tar.gz | head -n 1
