#!/usr/bin/env bash
# Checks the Debian package scripts/package.sh built: its desktop entry and AppStream metainfo
# validate, the manual pages of the tools render without warnings, and the unpacked asm11 and
# hc11run build and run the unpacked example.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build/package/tarnwick_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6
desktop-file-validate "$root/usr/share/applications/tarnwick.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.morvane.tarnwick.metainfo.xml"
test -f "$root/usr/share/tarnwick/help.html"
for tool in asm11 hc11run hc11dis; do
  page="$root/usr/share/man/man1/$tool.1.gz"
  LC_ALL=C MANWIDTH=80 man --warnings=w -l "$page" >"$root/page.txt" 2>"$root/warnings.txt"
  if [ -s "$root/warnings.txt" ]; then
    cat "$root/warnings.txt" >&2
    exit 1
  fi
  grep -q "^ *$tool - " "$root/page.txt"
done

work="$root/work"
cp -r "$root/usr/share/tarnwick/examples/sum" "$work"
(cd "$work" && "$root/usr/bin/asm11" sum.asm >/dev/null)
test -s "$work/sum.s19"
# The example prints the sum of its table through the SCI before it reaches DONE at E027.
"$root/usr/bin/hc11run" "$work/sum.pro" --until-pc E027 >"$root/run.txt"
grep -qx "00E4" <(tr -d '\r' <"$root/run.txt")
echo "Package checked: $deb"
