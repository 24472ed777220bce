#!/usr/bin/env bash
# A staged install (DESTDIR) of the build folder BUILD: every file where it
# belongs and valid, the manual pages rendering cleanly and naming the
# options that --help names, the completion, and the installed programs
# running.
#   install_test.sh BUILD
set -uo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
usr=$stage/usr
id=io.github.lintavo.Lintavo

for f in bin/lintavo bin/lintavo-batch \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/32x32/apps/$id.png share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/64x64/apps/$id.png share/icons/hicolor/128x128/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png share/icons/hicolor/scalable/apps/$id.svg \
         share/man/man1/lintavo.1.gz share/man/man1/lintavo-batch.1.gz \
         share/bash-completion/completions/lintavo-batch \
         share/doc/lintavo/copyright share/doc/lintavo/changelog.gz \
         share/doc/lintavo/examples/samples/text-errors.ptn; do
  [ -f "$usr/$f" ] || fail "not installed: $f"
done
for b in lintavo lintavo-batch; do [ -x "$usr/bin/$b" ] || fail "not executable: bin/$b"; done
# Each icon is the size its folder names (PNG width and height at bytes 16-23).
for s in 32 48 64 128 256; do
  got=$(od -An -tu1 -j16 -N8 "$usr/share/icons/hicolor/${s}x$s/apps/$id.png" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}')
  [ "$got" = "${s}x$s" ] || fail "icon ${s}x$s is $got"
done

desktop-file-validate "$usr/share/applications/$id.desktop" | grep -v ': hint: ' | grep . && fail "desktop-file-validate"
grep -qx 'Exec=lintavo %f' "$usr/share/applications/$id.desktop" || fail "desktop entry: Exec"
grep -qx "Icon=$id" "$usr/share/applications/$id.desktop" || fail "desktop entry: Icon"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "appstreamcli validate"

for page in man1/lintavo man1/lintavo-batch ja/man1/lintavo ja/man1/lintavo-batch; do
  warnings=$(MANWIDTH=80 LANG=C.UTF-8 man --warnings -l "$usr/share/man/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
# The Japanese help names the options the English one names.
options_of() { LANG=$1 "$usr/bin/lintavo-batch" --help | grep -oE '^  (-[a-z], |    )--[a-z-]+'; }
[ "$(options_of ja_JP.UTF-8)" = "$(options_of C)" ] || fail "lintavo-batch --help in Japanese"

# The options --help names and those the manual page's OPTIONS section names.
help_options=$("$usr/bin/lintavo-batch" --help | grep -E '^  +-' | grep -oE -- '--?[a-z][a-z-]*' | sort -u)
man_options=$(MANWIDTH=200 man -l "$usr/share/man/man1/lintavo-batch.1.gz" 2>/dev/null |
  sed -n '/^OPTIONS/,/^[A-Z]/p' | grep -E '^ {7}-' | grep -oE -- '--?[a-z][a-z-]*' | sort -u)
[ -n "$help_options" ] && [ "$help_options" = "$man_options" ] ||
  fail "--help and the manual page name different options: [$help_options] [$man_options]"

# The completion offers the options and, after an option naming a file, file names.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _lintavo_batch; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$usr/share/bash-completion/completions/lintavo-batch" "$@"
}
[ "$(complete_words lintavo-batch --sa)" = "--save-pattern" ] || fail "completion of --sa"
[ "$(cd "$usr/share/doc/lintavo/examples/samples" && complete_words lintavo-batch -i cust)" = "customers.csv" ] ||
  fail "completion of a file name after -i"

# The installed batch runner runs a sample from the examples folder.
out=$(cd "$usr/share/doc/lintavo/examples" && "$usr/bin/lintavo-batch" -q -o - samples/text-errors.ptn)
expected=$(printf '"2026/12/01","ERROR"\r\n"2026/12/01","ERROR"\r')
[ "$out" = "$expected" ] || fail "installed lintavo-batch on the sample: $(printf %q "$out")"

# The installed window starts, loads a sample pattern and keeps running
# until it is stopped.
(cd "$usr/share/doc/lintavo/examples" && XDG_RUNTIME_DIR=$stage QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/lintavo" samples/csv-tokyo.ptn)
rc=$?
[ "$rc" = 124 ] || fail "installed lintavo ended by itself with status $rc"

if [ "$failures" -eq 0 ]; then echo "staged install: all checks passed"; fi
[ "$failures" -eq 0 ]
