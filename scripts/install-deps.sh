#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine. Idempotent:
# packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libgtest-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 xvfb xdotool x11-utils fonts-wqy-microhei imagemagick
  osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
