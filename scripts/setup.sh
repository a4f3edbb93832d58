#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, when it is missing.
# Idempotent and non-interactive; needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang-format qt6-base-dev libgtest-dev libgmock-dev
          libbenchmark-dev libpng-dev zlib1g-dev fonts-dejavu-core python3
          pybind11-dev python3-dev python3-numpy python3-pytest python3-matplotlib)
case "${1:-}" in
--screenshots) packages+=(xvfb xauth x11-apps imagemagick) ;;
# pandas is the load benchmark's baseline (bench/compare_pandas.sh, bench_gmn_like).
--bench) packages+=(python3-pandas) ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
