#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: its control fields and
# contents, then an installation.
#
#   tools/check-deb.sh [BUILD_DIR] [--chroot DIR]
#
# BUILD_DIR (default build) must be configured already (tools/setup.sh).
# By default the package is unpacked into a throwaway root with dpkg --root
# (its files only: dependencies are not installed there) and the installed
# command-line tool reads the installed template.
# With --chroot DIR the package goes into a clean Debian 12 system made with
# debootstrap in DIR on first use (minutes, and it needs the Debian mirror;
# root only). DIR itself stays as debootstrap left it: each run works on an
# overlay of it in BUILD_DIR/debroot-run. There apt installs the package with
# its dependencies; the desktop's MIME and menu databases must name its
# types, also when the package is purged and installed again with dpkg (the
# tools' triggers then do the work); xdg-mime must name the editor for cards
# and packages; and the editor, started under Xvfb with a card on its
# command line, must show that card in its title. Too slow for the test
# suite; run it by hand before a release.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."

build=build
chroot_dir=
while (($#)); do
  case "$1" in
    --chroot) chroot_dir=$(realpath -m "${2:?--chroot needs a folder}"); shift 2 ;;
    -h|--help) sed -n '2,20p' "$script"; exit 0 ;;
    *) build=$1; shift ;;
  esac
done
build=$(realpath "$build")
[ -f "$build/CMakeCache.txt" ] || { echo "$build is not a configured build folder" >&2; exit 2; }

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

echo "== Building the package in $build"
cmake --build "$build" -j2 >/dev/null
rm -f "$build"/zqwcce_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/zqwcce_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "cpack made no package" >&2; exit 1; }
echo "$deb"

echo "== dpkg-deb --info"
dpkg-deb --info "$deb"
echo "== dpkg-deb --contents"
dpkg-deb --contents "$deb"

depends=$(dpkg-deb --field "$deb" Depends)
for need in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libcurl4 \
            libzip4 qt6-qpa-plugins fonts-liberation2; do
  grep -Eq "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for file in ./usr/bin/zqwcce ./usr/bin/zqwcce-cli \
            ./usr/lib/zqwcce/modules/zqwcce-output.so \
            ./usr/share/zqwcce/zqw.sel \
            ./usr/share/zqwcce/ccehints.txt ./usr/share/zqwcce/zqwcce.hlp/topics.txt \
            ./usr/share/zqwcce/cardaral.ttf ./usr/share/applications/zqwcce.desktop \
            ./usr/share/mime/packages/zqwcce.xml \
            ./usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/zqwcce.png; do
  grep -qxF "$file" <<<"$contents" || fail "package lacks $file"
done
# Nothing of the build folder may leak into the package.
if grep -q "$build" <<<"$contents"; then fail "package holds build paths"; fi

if [ -z "$chroot_dir" ]; then
  echo "== Unpacked with dpkg --root"
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status"
  dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb"
  # Read whole, then shown in part: cutting the pipe would kill the tool with
  # SIGPIPE, which pipefail takes for its failure.
  if template=$("$root/usr/bin/zqwcce-cli" template "$root/usr/share/zqwcce/zqw.sel"); then
    printf '%s\n' "${template:0:200}"
  else
    fail "the installed zqwcce-cli cannot read the installed template"
  fi
  ((failed)) && exit 1
  echo "The package checked (dpkg --root)."
  exit 0
fi

[ "$(id -u)" -eq 0 ] || { echo "--chroot needs root" >&2; exit 2; }
if [ ! -f "$chroot_dir/etc/debian_version" ]; then
  echo "== Making a clean Debian 12 system in $chroot_dir"
  command -v debootstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
  debootstrap --variant=minbase bookworm "$chroot_dir" http://deb.debian.org/debian
fi
echo "Debian $(cat "$chroot_dir/etc/debian_version") in $chroot_dir"

# Every run starts from the system as debootstrap left it: the run's changes
# go to an overlay in the build folder, thrown away at the end. Downloaded
# packages are kept between runs; they change nothing installed.
run_dir="$build/debroot-run"
apt_cache="$build/debroot-apt-cache"
root="$run_dir/root"
mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" || true; done
  rm -rf "$run_dir"
}
trap unmount_all EXIT
if mountpoint -q "$root" 2>/dev/null; then
  echo "$root is still mounted from an earlier run" >&2
  exit 2
fi
rm -rf "$run_dir"
mkdir -p "$run_dir/upper" "$run_dir/work" "$root" "$apt_cache/partial"
mount -t overlay overlay \
  -o "lowerdir=$chroot_dir,upperdir=$run_dir/upper,workdir=$run_dir/work" "$root"
mounted+=("$root")
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount -t sysfs sys "$root/sys" && mounted+=("$root/sys")
mount --bind /dev "$root/dev" && mounted+=("$root/dev")
mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
mount --bind "$apt_cache" "$root/var/cache/apt/archives" && mounted+=("$root/var/cache/apt/archives")
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# The desktop databases must name our types: the MIME database that file
# managers read and the map from types to programs that xdg-mime reads.
check_databases() {
  in_root grep -h "zqw" /usr/share/applications/mimeinfo.cache ||
    fail "$1: mimeinfo.cache lacks the types"
  for kind in x-zqw-card x-zqw-package; do
    in_root test -f "/usr/share/mime/application/$kind.xml" ||
      fail "$1: the MIME database lacks $kind"
  done
}

echo "== apt install of the package into the clean system (recommends too, as apt does)"
cp "$deb" "$root/tmp/zqwcce.deb"
in_root apt-get update -q >/dev/null
in_root apt-get install -y -q /tmp/zqwcce.deb >"$run_dir/install.log" 2>&1 ||
  { cat "$run_dir/install.log"; fail "apt could not install the package"; exit 1; }
grep -E "^(Setting up (zqwcce|shared-mime-info|desktop-file-utils|qt6-qpa|fonts-)|Processing triggers)" \
  "$run_dir/install.log" || true
in_root dpkg -l zqwcce | tail -1
check_databases "after apt install"

# On a desktop the two tools are there before the editor comes: then only
# their dpkg triggers can bring our types in, and take them out again.
echo "== Removed and installed again with dpkg, the desktop tools in place"
in_root dpkg --purge zqwcce >"$run_dir/purge.log" 2>&1 || fail "dpkg --purge failed"
grep "^Processing triggers" "$run_dir/purge.log" || true
if in_root grep -q zqw /usr/share/applications/mimeinfo.cache; then
  fail "the types stay in mimeinfo.cache after the purge"
fi
if in_root test -e /usr/share/mime/application/x-zqw-card.xml; then
  fail "the card type stays in the MIME database after the purge"
fi
in_root dpkg -i /tmp/zqwcce.deb >"$run_dir/reinstall.log" 2>&1 || fail "dpkg -i failed"
grep "^Processing triggers" "$run_dir/reinstall.log" || true
for trigger in shared-mime-info desktop-file-utils; do
  grep -q "^Processing triggers for $trigger" "$run_dir/reinstall.log" ||
    fail "no $trigger trigger ran"
done
check_databases "after dpkg -i"

echo "== The desktop's view (xdg-utils)"
in_root apt-get install -y -q xdg-utils xvfb xauth xdotool >/dev/null 2>&1 ||
  fail "the checking tools did not install"
mkdir -p "$root/tmp/cards"
cp tests/print/filled.ccf tests/print/filled-notes.txt "$root/tmp/cards/"
for kind in application/x-zqw-card application/x-zqw-package; do
  default=$(in_root xdg-mime query default "$kind")
  echo "xdg-mime query default $kind: $default"
  [ "$default" = zqwcce.desktop ] || fail "$kind opens with '$default'"
done
filetype=$(in_root xdg-mime query filetype /tmp/cards/filled.ccf)
echo "xdg-mime query filetype filled.ccf: $filetype"
[ "$filetype" = application/x-zqw-card ] || fail "a card is taken for $filetype"

echo "== zqwcce filled.ccf under Xvfb (a first run: the hints come up too)"
cat >"$root/tmp/open-card.sh" <<'SCRIPT'
cd /tmp/cards
zqwcce filled.ccf >/tmp/zqwcce.out 2>&1 &
editor=$!
title="ZQW Convention card editor: /tmp/cards/filled.ccf"
for _ in $(seq 100); do
  xdotool search --name "$title" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
for window in $(xdotool search --name . 2>/dev/null); do
  echo "window: $(xdotool getwindowname "$window")"
done
kill "$editor"
echo "editor output:"; cat /tmp/zqwcce.out
SCRIPT
shown=$(in_root xvfb-run -a -s "-screen 0 1280x900x24" bash /tmp/open-card.sh)
echo "$shown"
grep -qxF "window: ZQW Convention card editor: /tmp/cards/filled.ccf" <<<"$shown" ||
  fail "the editor did not show the card named on its command line"

((failed)) && exit 1
echo "The package checked in a clean Debian 12 system."
