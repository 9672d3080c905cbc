#!/usr/bin/env bash
# Builds the Debian package of a configured and built tree, checks it with
# lintian, unpacks it with dpkg-deb -x into a temporary folder and runs the
# unpacked sonalyt-cli on a recording.
#
#   packaging/check-package.sh BUILD_DIR RECORDING
set -euo pipefail
build=$(cd "$1" && pwd)
recording=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(find "$work/out" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"
echo "package: $(basename "$deb")"

# The library dependencies come from dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 fonts-wqy-microhei; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib"
done

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --suppress-tags-from-file "$(dirname "$0")/lintian-suppressed" \
    "$deb" || fail "lintian found errors or warnings"
else
  fail "lintian is not installed (tools/install-deps.sh)"
fi

# The dependencies can be met from the archive (a dry run, nothing installed).
if command -v apt-get >/dev/null; then
  apt-get install -s -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt cannot install it"; }
fi

dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/sonalyt usr/bin/sonalyt-cli usr/share/sonalyt/translations/sonalyt_en.qm \
         usr/share/applications/sonalyt.desktop usr/share/icons/hicolor/scalable/apps/sonalyt.svg \
         usr/share/mime/packages/sonalyt.xml; do
  [ -e "$work/root/$f" ] || fail "$f is not in the package"
done
info=$("$work/root/usr/bin/sonalyt-cli" info "$recording") || fail "unpacked sonalyt-cli info failed"
[[ $info == '{"RecordCount":'* ]] || fail "unexpected output of sonalyt-cli info: ${info:0:80}"
echo "unpacked sonalyt-cli info: ${info:0:40}..."
echo "package check passed"
