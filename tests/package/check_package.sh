#!/usr/bin/env bash
# Makes the .deb of a build folder with CPack and checks its files, its control fields and the
# installed tree: only the program and what it needs, in the folder whose name the drill
# derives its data folder from.
#
#   check_package.sh <build folder> <scratch folder> <version>
set -euo pipefail

build=$1
work=$2
version=$3
arch=$(dpkg --print-architecture)
deb="$work/miraidrill_${version}_${arch}.deb"
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
[ -f "$deb" ] || { fail "no $deb"; ls "$work" >&2; exit 1; }

# Every file and link of the package, and nothing else (no tests, benchmarks or demo tools).
# The defaults are what a new shared folder starts with: the criteria table and the sound folder.
sounds="buzzer_a fanfare_a fanfare_b jikosaikou1 jikosaikou2 kiroku_a kiroku_c machigai1 machigai2 minimum1
        pinpon_a seikai1 seikai2 seikai3 合格 最高1 警告1"
defaults=./usr/share/miraidrill/defaults
expected=$({
  cat <<'LIST'
./usr/bin/miraidrill -> ../lib/miraidrill/MiraiDrill/miraidrill
./usr/lib/miraidrill/MiraiDrill/miraidrill
./usr/share/applications/miraidrill.desktop
./usr/share/doc/miraidrill/shared-folder.ja.txt
./usr/share/icons/hicolor/128x128/apps/miraidrill.png
./usr/share/icons/hicolor/256x256/apps/miraidrill.png
./usr/share/icons/hicolor/48x48/apps/miraidrill.png
./usr/share/miraidrill/defaults/タイム回数データ.txt
./usr/share/miraidrill/defaults/音フォルダ/新音ファイル.txt
LIST
  for sound in $sounds; do echo "$defaults/音フォルダ/$sound.wav"; done
} | sort)
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' <<<"$listing" | sort)
if [ "$actual" != "$expected" ]; then
  fail "package files differ from the expected list"
  diff <(echo "$expected") <(echo "$actual") >&2 || true
fi
grep -q '^-rwxr-xr-x root/root .* ./usr/lib/miraidrill/MiraiDrill/miraidrill$' <<<"$listing" ||
  fail "the program is not an executable owned by root"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = miraidrill ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for needed in fonts-ipafont-gothic libqt6core6 libqt6gui6 libqt6widgets6 libsdl2-2.0-0 libc6; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg -x "$deb" "$root"
program=$(readlink -f "$root/usr/bin/miraidrill")
[ "$program" = "$(readlink -f "$root/usr/lib/miraidrill/MiraiDrill/miraidrill")" ] ||
  fail "usr/bin/miraidrill leads to $program"
[ "$(basename "$(dirname "$program")")" = MiraiDrill ] || fail "program folder of $program"

# The installed program finds the defaults from its own folder, and they are the build's.
found="$(dirname "$program")/../../../share/miraidrill/defaults"
diff -r "$build/src/defaults" "$found" >/dev/null || fail "the defaults beside the program differ from the build's"
head -c 9 "$found/タイム回数データ.txt" | iconv -f CP932 -t UTF-8 | grep -q '^目標Time' ||
  fail "the criteria table is not code page 932"

desktop="$root/usr/share/applications/miraidrill.desktop"
for line in '[Desktop Entry]' 'Type=Application' 'Name=みらいドリル' 'Exec=miraidrill' 'Icon=miraidrill'; do
  grep -Fxq "$line" "$desktop" || fail "desktop entry lacks $line"
done
for size in 48 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/miraidrill.png" |
    grep -q "PNG image data, $size x $size," || fail "icon ${size}x${size} is not a PNG of that size"
done
for text in 'パスデータ.txt' '~/.config/みらいドリル/' 'NFSv4' 'SMB' '相対パス'; do
  grep -Fq "$text" "$root/usr/share/doc/miraidrill/shared-folder.ja.txt" || fail "guide does not mention $text"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed for $deb" >&2
  exit 1
fi
echo "package checked: $deb"
