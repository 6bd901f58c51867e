#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR under the prefix /usr and checks the installed tree:
# both programs (answering --version and --help from there), the desktop entry (valid), the
# icons, the manual where the program looks for it, the first-run content, the manual pages.
# Usage: checkinstall.sh BUILD_DIR
set -euo pipefail
build="$1"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
root="$dest/usr"
fail=0
need() {
  for f in "$@"; do
    [ -e "$root/$f" ] || { echo "missing: /usr/$f" >&2; fail=1; }
  done
}
need bin/kaoqin bin/kaoqin-cli \
  share/applications/kaoqin.desktop \
  share/icons/hicolor/scalable/apps/kaoqin.svg \
  share/icons/hicolor/48x48/apps/kaoqin.png share/icons/hicolor/256x256/apps/kaoqin.png \
  share/kaoqin/manual/index.html \
  share/man/man1/kaoqin.1.gz share/man/man1/kaoqin-cli.1.gz \
  share/doc/kaoqin/copyright share/doc/kaoqin/changelog.Debian.gz
for f in Employee.dat Department.dat ShiftTime.dat BlankReson.dat RigthTable.dat FuncList.dat SysSetup.Dat; do
  need "share/kaoqin/firstrun/$f"
done
# Every page of the manual and every picture it shows are installed.
for page in "$root"/share/kaoqin/manual/*.html; do
  for ref in $(grep -o 'src="[^"]*"\|href="[^"#:]*"' "$page" | sed 's/^[a-z]*="//; s/"$//'); do
    [ -e "$(dirname "$page")/$ref" ] || { echo "$(basename "$page") refers to missing $ref" >&2; fail=1; }
  done
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/share/applications/kaoqin.desktop" || fail=1
fi
for p in kaoqin kaoqin-cli; do
  "$root/bin/$p" --version | grep -q "^$p " || { echo "$p --version failed" >&2; fail=1; }
  "$root/bin/$p" --help >/dev/null || { echo "$p --help failed" >&2; fail=1; }
done
gzip -dc "$root/share/man/man1/kaoqin-cli.1.gz" | grep -q '^\.TH KAOQIN-CLI 1' || { echo "bad man page" >&2; fail=1; }
[ $fail -eq 0 ] && echo "installed tree complete"
exit $fail
