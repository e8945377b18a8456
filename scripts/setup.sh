#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need (Qt's Polish
# translations among them). Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
    qt6-translations-l10n
    libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    clang-format xvfb xauth
    zbar-tools ser2net
    scdoc lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Potrzebne uprawnienia roota (brak sudo)" >&2; exit 1; }
    sudo="sudo"
fi
echo "Instaluję: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
