#!/usr/bin/env bash
# The Debian package made from the build folder BUILD: its control fields,
# its files, and lintian without errors.
#   package_test.sh BUILD
set -uo pipefail
build=$(cd "$1" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$out" >/dev/null) || { echo "FAIL: cpack"; exit 1; }
deb=$out/lintavo_1.0.0_amd64.deb
[ -f "$deb" ] || { echo "FAIL: no $deb: $(ls "$out")"; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = lintavo ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.0.0 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ "$(field Recommends)" = fonts-noto-cjk ] || fail "Recommends: $(field Recommends)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[[ "$(field Homepage)" == https://* ]] || fail "Homepage: $(field Homepage)"
# Depends as dpkg-shlibdeps finds them: the C and C++ libraries and Qt.
for lib in libc6 libstdc++6 libqt6widgets6; do
  [[ "$(field Depends)" == *"$lib "* ]] || fail "Depends lacks $lib: $(field Depends)"
done
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in ./usr/bin/lintavo ./usr/bin/lintavo-batch ./usr/share/applications/io.github.lintavo.Lintavo.desktop \
         ./usr/share/man/man1/lintavo-batch.1.gz ./usr/share/doc/lintavo/copyright; do
  grep -qx -- "$f" <<<"$contents" || fail "not in the package: $f"
done
grep -q '^\./usr/local\|^\./opt\|^\./home' <<<"$contents" && fail "files outside /usr"

errors=$(lintian --fail-on none "$deb" 2>/dev/null | grep '^E:')
[ -z "$errors" ] || fail "lintian: $errors"

if [ "$failures" -eq 0 ]; then echo "package: all checks passed"; lintian "$deb" 2>/dev/null; fi
[ "$failures" -eq 0 ]
