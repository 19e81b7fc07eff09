#!/usr/bin/env bash
# Builds the five packages from a fresh clone of this repository's HEAD in a
# new temporary folder, as a user would on their machine, and copies them
# to OUT: the Debian package and the static Linux tarball for x86-64 and for
# arm64 (cross-built), the Windows zip.
# SOURCE_DATE_EPOCH is the last commit's time, as the README shows.
# Usage: .ci/packages.sh OUT
set -euo pipefail
out=$(realpath "$1")
mkdir -p "$out"
work=$(mktemp -d)
git clone -q "$(dirname "$0")/.." "$work/beam"
cd "$work/beam"
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
quiet() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }; }
quiet cmake -S . -B build -DBUILD_TESTING=OFF -DBEAM_WERROR=ON
quiet cmake --build build -j 4
(cd build && quiet cpack -G DEB)
# As on a machine without GoogleTest: beam still builds.
quiet cmake -S . -B build-static -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DBEAM_WERROR=ON -DBEAM_STATIC=ON
quiet cmake --build build-static -j 4
(cd build-static && quiet cpack -G TGZ)
quiet cmake -S . -B build-win -DBUILD_TESTING=OFF -DBEAM_WERROR=ON --toolchain cmake/mingw-w64.cmake
quiet cmake --build build-win -j 4
(cd build-win && quiet cpack -G ZIP)
arm=(--toolchain cmake/aarch64-linux-gnu.cmake -DBEAM_WERROR=ON)
quiet cmake -S . -B build-arm -DBUILD_TESTING=OFF "${arm[@]}"
quiet cmake --build build-arm -j 4
(cd build-arm && quiet cpack -G DEB)
quiet cmake -S . -B build-arm-static -DBUILD_TESTING=OFF -DBEAM_STATIC=ON "${arm[@]}"
quiet cmake --build build-arm-static -j 4
(cd build-arm-static && quiet cpack -G TGZ)
cp build/beam_*.deb build-static/beam-*.tar.gz build-win/beam-*.zip "$out"/
cp build-arm/beam_*.deb build-arm-static/beam-*.tar.gz "$out"/
cd / && rm -rf "$work"
