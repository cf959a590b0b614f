#!/bin/sh
# The release as a releaser and a user meet it, in two parts. "packaging", on
# every host: scripts/package run for real, its outputs compared byte for byte,
# unpacked and read. "installer", where 32-bit programs run (Wine's msiexec
# installs a 32-bit package with a 32-bit process): the packages the first part
# left in the build tree installed under Wine in the test prefix. Stops at the
# first check that fails and names it.
#   release_test.sh SOURCE_DIR BUILD_DIR packaging|installer
set -eu
ROOT=${1:-} BUILD_DIR=${2:-} part=${3:-}
# Everything under $T is removed first: only ever a folder of the build's.
case "$ROOT:$BUILD_DIR:$part" in
/*:/*:packaging | /*:/*:installer) ;;
*) echo "release_test.sh: give the source and build folders as absolute paths, then packaging or installer" >&2 && exit 2 ;;
esac
T=$BUILD_DIR/release-test
export SOURCE_DATE_EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1780000000)"
version=$(sed -n 's/^project(TENVARA VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
zip=TENVARA-$version.zip msi=TENVARA-$version.msi

check() { "$@" || { echo "FAILED: $*" >&2 && exit 1; }; }
not() { ! "$@"; }

# The second part, on the packages the first (below) left in $T: the installer
# in the test prefix, from a clean state.
if [ "$part" = installer ]; then
    . "$ROOT/scripts/wine-env"
    runs_32bit || { echo "installer: left out: this host runs no 32-bit program" && exit 77; }
    code=$(msiinfo export "$T/here/$msi" Property | tr -d '\r' | sed -n "s/^ProductCode$(printf '\t')//p")
    earlier="{7E57AB1E-0000-4000-8000-0000000EA71E}" later="{7E57AB1E-0000-4000-8000-00000000A7E5}"
    installed=$WINEPREFIX/drive_c/windows/syswow64/TENVARA.scr settings=$WINEPREFIX/drive_c/windows/TENVARA.ini
    docs="$WINEPREFIX/drive_c/Program Files (x86)/TENVARA"
    msiexec() { wine msiexec "$1" "$(winepath -w "$2")" /qn >/dev/null 2>&1; } # /i|/x PACKAGE_FILE
    entry() { # PRODUCT_CODE VALUE, from its Add/Remove Programs entry
        wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" /reg:32 2>/dev/null |
            tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }
    # The same installer under an earlier and a later version, made like the
    # release's from the files the zip holds.
    cp "$ROOT/packaging/tenvara.wxs" "$ROOT/resources/tenvara.ico" "$T/unzipped/"
    for other in 1.0.0:$earlier 99.0.0:$later; do
        wixl -o "$T/${other%%:*}.msi" -D Version="${other%%:*}" -D ProductCode="${other#*:}" -D IconFile=tenvara.ico \
            -D SaverFile=TENVARA.scr "$T/unzipped/tenvara.wxs"
    done
    for product in "$code" "$earlier" "$later"; do wine msiexec /x "$product" /qn >/dev/null 2>&1 || true; done

    # This release goes over an earlier one and replaces it; the saver goes
    # into the system folder, the text files into Program Files.
    check msiexec /i "$T/1.0.0.msi"
    check msiexec /i "$T/here/$msi"
    check cmp "$installed" "$BUILD_DIR/bin/TENVARA.scr"
    for file in LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt; do check cmp "$docs/$file" "$T/unzipped/$file"; done
    check test "$(entry "$earlier" DisplayName)/$(entry "$code" DisplayName) $(entry "$code" DisplayVersion)" = "/TENVARA $version"
    check env TENVARA_SAVER='C:\windows\syswow64\TENVARA.scr' \
        wine "$BUILD_DIR/bin/config_dialog_test.exe" --gtest_filter='DialogEndToEnd.*' --gtest_brief=1
    # A later version replaces this one, and this one will not go over it.
    check msiexec /i "$T/99.0.0.msi"
    check test "$(entry "$code" DisplayName)/$(entry "$later" DisplayVersion)" = "/99.0.0"
    check not msiexec /i "$T/here/$msi"
    # Removing the program takes all it installed and keeps the user's settings.
    printf 'Speed=7\r\n' >"$settings" && cp "$settings" "$T/kept.ini"
    check msiexec /x "$T/99.0.0.msi"
    check test ! -e "$installed" -a ! -e "$docs" -a -z "$(entry "$later" DisplayName)"
    check cmp "$T/kept.ini" "$settings"
    echo "installer: passed" && exit 0
fi

rm -rf "$T" && mkdir -p "$T/copy" "$T/slow"
package() { # SOURCE_DIR DIST_DIR [NAME=VALUE...]; its messages are in $T/log
    source=$1 dist=$2 && shift 2
    env BUILD_DIR="$BUILD_DIR" DIST_DIR="$dist" "$@" "$source/scripts/package" >"$T/log" 2>&1 || { cat "$T/log" && false; }
}

# The tested build packaged here, and a copy of the sources packaged from
# scratch elsewhere, by a machine slow enough that wixl starts a second late.
package "$ROOT" "$T/here"
git -C "$ROOT" ls-files -co --exclude-standard -z | tar -C "$ROOT" --null --ignore-failed-read -T - -cf - | tar -xf - -C "$T/copy"
printf '#!/bin/sh\nsleep 1\nexec %s "$@"\n' "$(command -v wixl)" >"$T/slow/wixl" && chmod +x "$T/slow/wixl"
package "$T/copy" "$T/there" BUILD_DIR="$T/copy/build" PATH="$T/slow:$PATH"
check diff -r "$T/here" "$T/there"
# SHA256SUMS vouches for every other file in dist/.
(cd "$T/here" && check test "$(sha256sum TENVARA-*)" = "$(sort -k 2 SHA256SUMS)")
check test "$(unzip -Z1 "$T/here/$zip" | tr '\n' ' ')" = "LICENSE.txt README.txt TENVARA.scr THIRD-PARTY-NOTICES.txt "
unzip -q "$T/here/$zip" -d "$T/unzipped"
check cmp "$T/unzipped/TENVARA.scr" "$BUILD_DIR/bin/TENVARA.scr"
check test -z "$(grep -hv "$(printf '\r')\$" "$T/unzipped/"*.txt)"
# The notice carries the runtime's as Debian ships it, read as the format means
# it: a continuation line without its one leading space, a lone "." an empty
# line. The bill of materials parses, its checksums are those of the saver and
# the packages, and it names each Debian package of the list's parts at the
# version installed here.
purls=$(sed -n '/^\[parts\]/,/^\[/s/^[^#|]*| *\([^ ]*\) .*/\1/p' "$ROOT/packaging/linked-runtime.txt" |
    xargs dpkg-query -W -f 'pkg:deb/debian/${Package}@${Version} ' | sed 's/+/%2B/g')
check python3 - "$T/unzipped/TENVARA.scr" "$T/here/$zip" "$T/here/$msi" $purls <<EOF
import hashlib, json, os, re, sys
stanza = re.search(r"^Files: \*\n(.*?)\n\n", open("/usr/share/doc/mingw-w64-common/copyright").read(), re.M | re.S)[1]
assert re.sub(r"(?m)^ (\.$)?", "", stanza) in open("$T/unzipped/THIRD-PARTY-NOTICES.txt").read()
text = open("$T/here/TENVARA-$version.spdx.json").read()
sha256 = {f["fileName"]: {c["algorithm"]: c["checksumValue"] for c in f["checksums"]}["SHA256"] for f in json.loads(text)["files"]}
assert sha256 == {"./" + os.path.basename(p): hashlib.sha256(open(p, "rb").read()).hexdigest() for p in sys.argv[1:4]}, sha256
assert all(f'"{purl}?arch=' in text for purl in sys.argv[4:]), sys.argv[4:]
EOF

# The copy again, now a git checkout whose files are all uncommitted, with a
# saver that differs by one byte (its build is up to date, so it stays as it
# is): the packaging warns, and the installer gets a package code of its own.
package_code() { msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'; }
git -C "$T/copy" init -q
printf '\1' | dd of="$T/copy/build/bin/TENVARA.scr" bs=1 seek=100 conv=notrunc 2>/dev/null
package "$T/copy" "$T/changed" BUILD_DIR="$T/copy/build"
check grep -q "WARNING: the work tree has uncommitted changes" "$T/log"
check not test "$(package_code "$T/changed/$msi")" = "$(package_code "$T/here/$msi")"

openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=TENVARA test" -addext extendedKeyUsage=codeSigning \
    -days 2 -keyout "$T/key.pem" -out "$T/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$T/key.pem" -in "$T/cert.pem" -passout pass:right -out "$T/cert.pfx"
package "$ROOT" "$T/signed" TENVARA_SIGN_PFX="$T/cert.pfx" TENVARA_SIGN_PASSWORD=right
unzip -q "$T/signed/$zip" TENVARA.scr -d "$T/signed"
for file in TENVARA.scr "$msi"; do check osslsigncode verify -CAfile "$T/cert.pem" -in "$T/signed/$file" >/dev/null; done

# Each refusal says why and leaves no package behind.
refused() { # DIST_DIR MESSAGE [NAME=VALUE]
    check not package "$ROOT" "$T/$1" TENVARA_SIGN_PFX="$T/cert.pfx" ${3:+"$3"}
    check grep -q "$2" "$T/log"
    check test -z "$(ls -A "$T/$1" 2>/dev/null)"
}
# Every tool on the PATH but wixl, wherever each one lives.
mkdir "$T/path"
for dir in $(echo "$PATH" | tr : ' '); do ln -s "$dir"/* "$T/path/" 2>/dev/null || true; done
rm "$T/path/wixl"
refused no-wixl "wixl is missing" PATH="$T/path"
refused cert.pem/dist "cannot create" # a file where a folder should be
refused wrong-password "cannot sign TENVARA.scr" TENVARA_SIGN_PASSWORD=wrong

# The installer's tables, on every host (part "installer" shows the rest where
# 32-bit programs run): the saver goes into the system folder and the text files
# into a TENVARA folder under Program Files, each component under a GUID of its
# own that never changes, Add or Remove Programs shows icon and publisher, and
# the upgrade code that lets a later release replace this one never changes.
has() { msiinfo export "$T/here/$msi" "$1" | tr -d '\r' | grep -qxF "$2"; } # TABLE ROW
check test "$(msiinfo export "$T/here/$msi" File | tr -d '\r' | tail -n +4 | cut -f 2,3 | sort | tr '\t\n' ': ')" = \
    "License:LICENSE.txt Notices:NOTICES.TXT|THIRD-PARTY-NOTICES.txt Readme:README.txt Saver:TENVARA.scr "
while IFS=$(printf '\t') read -r table row; do check has "$table" "$row"; done <<EOF
Component	Saver	{C5D629A2-3D3A-4F81-A151-D100126533CB}	SystemFolder	0		TENVARA.scr
Component	License	{CC3A9948-B9B0-4774-A330-258693E63D2E}	TenvaraFolder	0		LICENSE.txt
Component	Notices	{E6F550BB-31D7-4B0E-AFF5-481CAFC9EA8C}	TenvaraFolder	0		THIRD_PARTY_NOTICES.txt
Component	Readme	{CAF089A1-49E2-4075-A5D2-C6FF09D47AA2}	TenvaraFolder	0		README.txt
Directory	TenvaraFolder	ProgramFilesFolder	TENVARA
Property	Manufacturer	Tenvara Works
Property	ARPPRODUCTICON	tenvara.ico
Upgrade	{3A26F911-BB48-48E9-AD46-78A3600F8AEF}		$version		1		WIX_UPGRADE_DETECTED
EOF
echo "release: passed"
