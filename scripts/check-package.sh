#!/usr/bin/env bash
# Builds the Debian package from a configured and built folder (default build/)
# and checks what it holds: the files a user needs, a Depends line computed from
# the binaries, a version that matches the programs', a valid desktop entry, man
# pages that read cleanly and name every command of vantrel-cli.
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/vantrel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no vantrel_*.deb was made"
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/bin/vantrel usr/bin/vantrel-cli \
  usr/share/vantrel/docs/index.htm usr/share/vantrel/docs/tour.htm \
  usr/share/vantrel/docs/reference.htm usr/share/vantrel/docs/tutorial.htm usr/share/vantrel/docs/style.css \
  usr/share/man/man1/vantrel.1 usr/share/man/man1/vantrel-cli.1 \
  usr/share/applications/vantrel.desktop usr/share/mime/packages/vantrel-qvd.xml \
  usr/share/icons/hicolor/32x32/apps/vantrel.png usr/share/icons/hicolor/256x256/apps/vantrel.png \
  usr/share/doc/vantrel/copyright; do
  grep -qx "\./$f" <<<"$contents" || fail "the package lacks /$f"
done
if grep -q '^\./usr/bin/docs' <<<"$contents"; then fail "help pages lie beside the binaries"; fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depends_names=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')
for lib in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 libpng16-16 libjpeg62-turbo libfreetype6 \
  libfontconfig1 zlib1g libwebp7 fonts-liberation2; do
  grep -qx -- "$lib" <<<"$depends_names" || fail "Depends lacks $lib"
done

version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
[ "$("$root/bin/vantrel-cli" --version)" = "vantrel-cli $version" ] || fail "vantrel-cli --version is not $version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/vantrel" --version)" = "vantrel $version" ] ||
  fail "vantrel --version is not $version"

desktop-file-validate "$root/share/applications/vantrel.desktop" || fail "the desktop entry is not valid"

for page in vantrel vantrel-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/$page.1" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "man page $page.1: $warnings"
done
# Every command the tool lists in its usage has its entry in the man page.
commands=$("$root/bin/vantrel-cli" --help | awk '/^Commands:/ {on = 1; next} on && /^$/ {exit} on && /^  [a-z]/ {print $1}' |
  tr -d ',' | sort -u)
[ -n "$commands" ] || fail "no commands read from vantrel-cli --help"
entries=$(sed -n 's/^\.B[IR]\{0,1\} //p' "$root/share/man/man1/vantrel-cli.1" | sed 's/\\-/-/g' | awk '{print $1}')
for c in $commands; do
  grep -qx -- "$c" <<<"$entries" || fail "vantrel-cli.1 does not describe '$c'"
done
echo "package check: all good ($(wc -w <<<"$commands") commands documented)"
