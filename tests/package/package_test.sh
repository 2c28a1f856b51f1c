#!/usr/bin/env bash
# Builds the Debian package from the already-built tree and checks it the way a user's machine
# and Debian's tools would: its file list, lintian, the hardening of the program, the desktop
# entry, the AppStream data and its screenshot, the manual page, the maintainer scripts, and the
# program run from the unpacked package.
#   package_test.sh BUILD_DIR APP_ID VERSION
# Exits 77 (skipped) only when a tool is missing; scripts/setup.sh installs them all.
set -euo pipefail

build=$1 app_id=$2 version=$3

missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian hardening-check desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIP: missing ${missing[*]} (scripts/setup.sh installs them)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package, into a folder of its own so parallel runs and the build tree stay apart.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/velmar_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out"; fail "no $deb"; }

# Exactly these files, nothing missing and nothing stray.
expected=$(sort <<EOF
./usr/bin/velmar
./usr/lib/udev/rules.d/60-velmar-kestrom.rules
./usr/share/applications/$app_id.desktop
./usr/share/doc/velmar/changelog.gz
./usr/share/doc/velmar/copyright
./usr/share/icons/hicolor/128x128/apps/$app_id.png
./usr/share/icons/hicolor/256x256/apps/$app_id.png
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/velmar.1.gz
./usr/share/metainfo/$app_id.metainfo.xml
./usr/share/velmar/screenshots/main-window.png
EOF
)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") || true; fail "file list"; }
dpkg-deb -c "$deb" | awk '$2 != "root/root" {bad=1} END {exit bad}' || fail "files not owned by root"

# Dependencies came from the libraries the program links (dpkg-shlibdeps).
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6svg6 libc6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian reports errors"; }
grep -E '^[WE]: ' "$work/lintian.log" || true
# Built with Debian's flags, lintian has nothing to say about the hardening.
! grep -E 'hardening-' "$work/lintian.log" || fail "lintian reports missing hardening"

root=$work/root
dpkg-deb -x "$deb" "$root"
# Stack protector, _FORTIFY_SOURCE, PIE, relro and immediate binding, each found in the binary:
# the features Debian 12's dpkg-buildflags turns on. Control-flow protection is not one of them
# there, so it is not asked for.
hardening-check --nocfprotection "$root/usr/bin/velmar" || fail "hardening-check"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry"
grep -qx "Icon=$app_id" "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "AppStream data"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream release"
for kind in homepage bugtracker; do
  grep -qE "<url type=\"$kind\">https://[^<]+</url>" "$metainfo" || fail "AppStream lacks the $kind address"
done
# The screenshot it names is the one the package carries, at the size it says.
screenshot=$root/usr/share/velmar/screenshots/main-window.png
image=$(grep -oE '<image [^>]*>[^<]*</image>' "$metainfo") || fail "AppStream names no screenshot"
[[ $image == *"/main-window.png</image>" ]] || fail "AppStream names another screenshot: $image"
width=$(sed -E 's/.*width="([0-9]+)".*/\1/' <<<"$image")
height=$(sed -E 's/.*height="([0-9]+)".*/\1/' <<<"$image")
file "$screenshot" | grep -q "PNG image data, $width x $height" ||
  fail "the screenshot is not the ${width}x$height PNG the AppStream data names: $(file -b "$screenshot")"
for size in 48 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" | grep -q "$size x $size" ||
    fail "the $size pixel icon has another size"
done

# The program as installed: it starts from the unpacked tree and says its version.
got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/velmar" --version)
[ "$got" = "velmar $version" ] || fail "velmar --version said '$got'"
# Every option --help lists is in the manual page too, and it names the records folder.
manual=$(zcat "$root/usr/share/man/man1/velmar.1.gz" | sed 's/\\-/-/g')
grep -q 'XDG_DATA_HOME/Velmar/records' <<<"$manual" || fail "the manual page does not name the records folder"
for option in $("$root/usr/bin/velmar" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  grep -q -- "$option" <<<"$manual" || fail "the manual page lacks $option"
done

# Maintainer scripts: nothing to do without a running udev; with one, a reload that fails
# does not fail the installation; and a second run does the same as the first.
dpkg-deb -e "$deb" "$work/control"
fake=$work/fakebin
mkdir -p "$fake"
cat >"$fake/udevadm" <<'EOF'
#!/bin/sh
echo "$*" >>"$UDEVADM_CALLS"
case "$*" in
  "control --ping") exit "$UDEV_PING" ;;
  *) exit 1 ;;
esac
EOF
chmod +x "$fake/udevadm"
export UDEVADM_CALLS=$work/calls
for ping in 1 0; do
  for script in postinst postrm; do
    for run in 1 2; do
      : >"$UDEVADM_CALLS"
      arg=configure
      [ $script = postrm ] && arg=remove
      UDEV_PING=$ping PATH="$fake:$PATH" "$work/control/$script" $arg ||
        fail "$script $arg failed (udev running: $((1 - ping)), run $run)"
      if [ $ping = 1 ]; then
        [ "$(cat "$UDEVADM_CALLS")" = "control --ping" ] || fail "$script touched udev that is not running"
      else
        grep -q -- "--reload-rules" "$UDEVADM_CALLS" || fail "$script did not reload the rules"
      fi
    done
  done
done

echo "package: $(stat -c %s "$deb") bytes; installed size: $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "PASS"
