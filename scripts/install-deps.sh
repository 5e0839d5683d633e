#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the project needs.
# Idempotent: does nothing when all packages are already present.
set -euo pipefail

packages=(
  build-essential cmake make ccache pkg-config
  qtbase5-dev qtbase5-dev-tools qt5-qmake libqt5serialport5-dev
  libqt5svg5-dev
  xvfb xauth
)
# Extra packages for the fuzzing build only (clang, its runtime, llvm-cov for corpus coverage).
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev llvm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
