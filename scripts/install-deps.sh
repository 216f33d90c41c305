#!/bin/sh
# Installs the Debian 12 packages that building and testing Quillane needs.
# Idempotent: packages already present are skipped, so a second run costs
# one dpkg query. Must run as root (or with sudo available).
set -eu

# The three lines after libgsf-1-dev give the archives the release converter
# links in place of the shared libraries behind libgsf and cairo.
PACKAGES="
  build-essential cmake ninja-build ccache pkg-config git
  googletest libbenchmark-dev
  zlib1g-dev libjpeg62-turbo-dev
  libfreetype-dev libfontconfig-dev libcairo2-dev libgsf-1-dev
  libglib2.0-dev libxml2-dev libicu-dev liblzma-dev libffi-dev libpcre2-dev libbz2-dev
  libexpat1-dev libpng-dev libbrotli-dev libpixman-1-dev libx11-dev libxext-dev libxrender-dev
  libxcb1-dev libxcb-shm0-dev libxcb-render0-dev libxau-dev libxdmcp-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev nasm
  wine64 fonts-wine fonts-liberation fonts-dejavu-core
  xvfb xauth x11-utils xdotool imagemagick python3-pil
  dpkg-dev
  python3 libreoffice-writer-nogui
  antiword catdoc wv poppler-utils
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
