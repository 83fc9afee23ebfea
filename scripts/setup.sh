#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds. Safe to run again: it installs nothing twice and rebuilds only what changed.
#
#   scripts/setup.sh              everything, tests included: release build with debug info, in build/
#   scripts/setup.sh --sanitize   the same under AddressSanitizer + UndefinedBehaviorSanitizer, in
#                                 build-sanitize/
#   scripts/setup.sh --panel      only what the panel needs, and only the panel, in build/ (run.sh);
#                                 a build/ already set up with the tests keeps them
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-}
case "$mode" in
    "" | --sanitize | --panel) ;;
    *) echo "usage: scripts/setup.sh [--sanitize | --panel]" >&2; exit 2 ;;
esac

# Configuring and building the programs, and running the panel.
packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev libxcb-xkb-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    fonts-ipafont-gothic
)
# The tests, the benchmarks, the fuzz targets and CI's package checks.
[ "$mode" = --panel ] || packages+=(
    libbenchmark-dev
    clang libclang-rt-14-dev valgrind
    desktop-file-utils appstream man-db dpkg-dev
    xvfb xauth dbus dbus-x11 at-spi2-core python3-pyatspi xdotool x11-utils x11-apps openbox
    ser2net socat
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "setup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir="$root/build"
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQPV_WERROR=ON -DBUILD_TESTING=ON)
build_args=()
case "$mode" in
    --sanitize)
        build_dir="$root/build-sanitize"
        cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DQPV_SANITIZE=ON -DQPV_WERROR=ON -DBUILD_TESTING=ON)
        ;;
    --panel)
        # The tests stay off in a new tree; one the tests have set up keeps its cache.
        cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQPV_WERROR=ON)
        [ -f "$build_dir/CMakeCache.txt" ] || cmake_args+=(-DBUILD_TESTING=OFF)
        build_args=(--target qpv-panel)
        ;;
esac

cmake -S "$root" -B "$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" "${build_args[@]}"
