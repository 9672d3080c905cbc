#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Sonalyt
# need, skipping the ones already present.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev            # Qt Widgets, PrintSupport, Test
  qt6-tools-dev qt6-l10n-tools      # lupdate/lrelease and their CMake functions (translations)
  libgtest-dev libgmock-dev         # unit tests
  libbenchmark-dev                  # benchmarks
  fonts-wqy-microhei                # CJK font for the interface and the report
  xvfb xauth                        # GUI tests and screenshots
  dpkg-dev file lintian             # the Debian package: dpkg-shlibdeps, and its check
  python3-pdfminer                  # reads report PDFs back as a PDF reader does
  poppler-utils                     # renders report PDF pages to compare them
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
