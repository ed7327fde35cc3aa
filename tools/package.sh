#!/usr/bin/env bash
# Builds the Debian package build-package/metamorfine_<version>_<arch>.deb, in
# a build of its own compiled with Debian's optimisation and hardening flags.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh package

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr
# Only what is installed: the program with its data, and the desktop files.
cmake --build build-package --parallel "$(nproc)" --target metamorfine mf_desktop_files
(cd build-package && cpack -G DEB)
