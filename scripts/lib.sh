# Shared by scripts/run and scripts/test: install missing Debian packages and build.
# shellcheck shell=bash

BRISKLANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The desktop program needs Qt 6 Widgets (libxkbcommon-dev quiets its configure check), a font to draw
# text and Qt's SVG plugins (libqt6svg6) to draw its own icons; TLS comes from OpenSSL (libssl-dev).
# ccache keeps compiled files between runs.
BUILD_PACKAGES=(cmake ninja-build g++ ccache libgtest-dev libgmock-dev tzdata libssl-dev
                qt6-base-dev libxkbcommon-dev fonts-dejavu-core libqt6svg6)
# xvfb and xauth give the window tests a real X display when wanted. ftp-proxy runs as installed;
# pure-ftpd and proftpd-core conflict with vsftpd, so scripts/unpack-servers only unpacks them,
# and their shared libraries are installed here. openssl hashes their passwords and makes the TLS
# servers' certificates.
TEST_PACKAGES=(netbase vsftpd python3 python3-pyftpdlib python3-openssl curl procps passwd ftp-proxy openssl
               libsodium23 libhiredis0.14 libmemcached11 libmemcachedutil2 libpcre2-posix3
               dante-server microsocks python3-twisted lftp
               xvfb xauth)

# Installs the packages of the given names that are not installed yet.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "== installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# A compiler cache, when one is installed (Debian: ccache), keeps its files outside the clone. Its
# base directory makes paths inside the clone relative, so that other clones and build trees share
# hits; the sloppiness lets it cache files compiled with a precompiled header.
CCACHE_ARGS=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$BRISKLANE_ROOT")}
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  export CCACHE_NOHASHDIR=1
  CCACHE_ARGS=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# build DIR [cmake options...]
build_tree() {
  local dir=$1; shift
  cmake -S "$BRISKLANE_ROOT" -B "$BRISKLANE_ROOT/$dir" -G Ninja "${CCACHE_ARGS[@]}" "$@" >/dev/null
  cmake --build "$BRISKLANE_ROOT/$dir" -j "$(nproc)"
}
