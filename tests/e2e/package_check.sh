#!/usr/bin/env bash
# Checks the Debian package as Debian and the desktop would: lintian (every tag, pedantic ones
# too) finds no error or warning, the menu entry and the AppStream metadata validate, the
# program is stripped and hardened, and, unpacked, it runs as an installed program does
# (tests/e2e/installed_program.sh). Skipped (77) where the tools are missing.
# Usage: package_check.sh DEB OUTPUT_FOLDER
set -euo pipefail
deb=$(readlink -f "$1")
OUT=$(mkdir -p "$2" && readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
for tool in lintian desktop-file-validate appstreamcli dpkg-deb readelf; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

echo "--- lintian"
lintian -EvI --pedantic "$deb" 2>/dev/null | tee "$OUT/lintian.txt"
! grep -Eq '^[EW]: ' "$OUT/lintian.txt" || fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$root"
echo "--- desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "the menu entry does not validate"
echo "--- appstreamcli validate --pedantic"
appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml |
    tee "$OUT/appstream.txt"
grep -q 'Validation was successful\.$' "$OUT/appstream.txt" || fail "AppStream reports issues"

echo "--- stripped and hardened"
exe=$root/usr/bin/SBK3
sections=$(readelf -SW "$exe")
header=$(readelf -hW "$exe")
segments=$(readelf -lW "$exe")
dynamic=$(readelf -dW "$exe")
symbols=$(readelf --dyn-syms -W "$exe")
grep -q '\.symtab' <<<"$sections" && fail "not stripped"
grep -q 'Type:.*DYN' <<<"$header" || fail "not a position-independent executable"
grep -q GNU_RELRO <<<"$segments" || fail "no RELRO"
grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$dynamic" || fail "not bound now"
grep -q __stack_chk_fail <<<"$symbols" || fail "no stack protector"
grep -q '_chk@' <<<"$symbols" || fail "no fortified functions"

echo "--- the unpacked program"
bash "$here/installed_program.sh" "$OUT" "$exe"
