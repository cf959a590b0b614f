#!/bin/sh
# The release as a releaser and a user meet it: scripts/package run for real,
# its outputs compared byte for byte, unpacked and read, and, where 32-bit
# programs run, the installer run under Wine in the test prefix (Wine's msiexec
# installs a 32-bit package with a 32-bit process). Stops at the first check
# that fails and names it.
#   release_test.sh SOURCE_DIR BUILD_DIR
set -eu
ROOT=$1 BUILD_DIR=$2
T=$BUILD_DIR/release-test
rm -rf "$T" && mkdir -p "$T"
export SOURCE_DATE_EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1780000000)"
version=$(sed -n 's/^project(TENVARA VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
zip=TENVARA-$version.zip msi=TENVARA-$version.msi

check() { "$@" || { echo "FAILED: $*" >&2 && exit 1; }; }
not() { ! "$@"; }

package() { # SOURCE_DIR DIST_DIR [NAME=VALUE...]; its messages are in $T/log
    source=$1 dist=$2 && shift 2
    env BUILD_DIR="$BUILD_DIR" DIST_DIR="$dist" "$@" "$source/scripts/package" >"$T/log" 2>&1 || { cat "$T/log" && false; }
}

# The tested build packaged here, and a copy of the sources packaged from
# scratch elsewhere, by a machine slow enough that wixl starts a second late.
package "$ROOT" "$T/here"
mkdir "$T/copy" "$T/slow"
(cd "$ROOT" && git ls-files -co --exclude-standard -z | xargs -0 tar -cf -) | tar -xf - -C "$T/copy"
printf '#!/bin/sh\nsleep 1\nexec %s "$@"\n' "$(command -v wixl)" >"$T/slow/wixl" && chmod +x "$T/slow/wixl"
package "$T/copy" "$T/there" BUILD_DIR="$T/copy/build" PATH="$T/slow:$PATH"
check cmp "$T/here/$zip" "$T/there/$zip"
check cmp "$T/here/$msi" "$T/there/$msi"
(cd "$T/here" && check sha256sum --quiet -c SHA256SUMS)
check test "$(unzip -Z1 "$T/here/$zip" | tr '\n' ' ')" = "TENVARA.scr README.txt "
unzip -q "$T/here/$zip" -d "$T/unzipped"
check cmp "$T/unzipped/TENVARA.scr" "$BUILD_DIR/bin/TENVARA.scr"
check test -z "$(grep -v "$(printf '\r')\$" "$T/unzipped/README.txt")"

openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=TENVARA test" -addext extendedKeyUsage=codeSigning \
    -days 2 -keyout "$T/key.pem" -out "$T/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$T/key.pem" -in "$T/cert.pem" -passout pass:right -out "$T/cert.pfx"
package "$ROOT" "$T/signed" TENVARA_SIGN_PFX="$T/cert.pfx" TENVARA_SIGN_PASSWORD=right
unzip -q "$T/signed/$zip" TENVARA.scr -d "$T/signed"
check osslsigncode verify -CAfile "$T/cert.pem" -in "$T/signed/TENVARA.scr" >/dev/null
check osslsigncode verify -CAfile "$T/cert.pem" -in "$T/signed/$msi" >/dev/null

# Each refusal says why and leaves no package behind.
refused() { # DIST_DIR MESSAGE [NAME=VALUE]
    check not package "$ROOT" "$T/$1" TENVARA_SIGN_PFX="$T/cert.pfx" ${3:+"$3"}
    check grep -q "$2" "$T/log"
    check test -z "$(ls -A "$T/$1" 2>/dev/null)"
}
mkdir "$T/path" && ln -s /usr/bin/* "$T/path/" && rm "$T/path/wixl"
refused no-wixl "wixl is missing" PATH="$T/path"
refused cert.pem/dist "cannot create" # a file where a folder should be
refused wrong-password "cannot sign TENVARA.scr" TENVARA_SIGN_PASSWORD=wrong

# The installer's tables: the saver goes into the system folder, Add or Remove
# Programs shows name, version, icon and publisher, and the upgrade code that
# lets a later release replace this one, and refuse an earlier one, never changes.
has() { msiinfo export "$T/here/$msi" "$1" | tr -d '\r' | grep -qxF "$2"; } # TABLE ROW
while IFS=$(printf '\t') read -r table row; do check has "$table" "$row"; done <<EOF
Component	Saver	{C5D629A2-3D3A-4F81-A151-D100126533CB}	SystemFolder	0		TENVARA.scr
Property	ProductName	TENVARA
Property	ProductVersion	$version
Property	Manufacturer	Tenvara Works
Property	ARPPRODUCTICON	tenvara.ico
Upgrade	{3A26F911-BB48-48E9-AD46-78A3600F8AEF}		$version		1		WIX_UPGRADE_DETECTED
Upgrade	{3A26F911-BB48-48E9-AD46-78A3600F8AEF}	$version			2		WIX_DOWNGRADE_DETECTED
EOF

# The installer, in the test prefix, from a clean state.
. "$ROOT/scripts/wine-env"
runs_32bit || { echo "release: passed; installing the MSI was left out: this host runs no 32-bit program" && exit 0; }
code=$(msiinfo export "$T/here/$msi" Property | tr -d '\r' | sed -n "s/^ProductCode$(printf '\t')//p")
later="{7E57AB1E-0000-4000-8000-00000000A7E5}"
installed=$WINEPREFIX/drive_c/windows/syswow64/TENVARA.scr settings=$WINEPREFIX/drive_c/windows/TENVARA.ini
msiexec() { wine msiexec "$1" "$(winepath -w "$2")" /qn >/dev/null 2>&1; } # /i|/x PACKAGE_FILE
entry() { # PRODUCT_CODE VALUE, from its Add/Remove Programs entry
    wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" /reg:32 2>/dev/null |
        tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }
for product in "$code" "$later"; do wine msiexec /x "$product" /qn >/dev/null 2>&1 || true; done

check msiexec /i "$T/here/$msi"
check cmp "$installed" "$BUILD_DIR/bin/TENVARA.scr"
check test "$(entry "$code" DisplayName) $(entry "$code" DisplayVersion)" = "TENVARA $version"
check env TENVARA_SAVER='C:\windows\syswow64\TENVARA.scr' \
    wine "$BUILD_DIR/bin/config_dialog_test.exe" --gtest_filter='DialogEndToEnd.*' --gtest_brief=1
printf 'Speed=7\r\n' >"$settings" && cp "$settings" "$T/kept.ini"
check msiexec /x "$T/here/$msi"
check test ! -e "$installed" -a -z "$(entry "$code" DisplayName)"
check cmp "$T/kept.ini" "$settings"

# A later version replaces this one, and this one will not go over it. wixl
# finds the files named relative to the source.
wixl -o "$T/later.msi" -D Version=99.0.0 -D ProductCode="$later" -D IconFile=../resources/tenvara.ico \
    -D SaverFile="$(realpath --relative-to="$ROOT/packaging" "$BUILD_DIR/bin/TENVARA.scr")" "$ROOT/packaging/tenvara.wxs"
msiexec /i "$T/here/$msi"
check msiexec /i "$T/later.msi"
check test "$(entry "$code" DisplayName)/$(entry "$later" DisplayVersion)" = "/99.0.0"
check not msiexec /i "$T/here/$msi"
msiexec /x "$T/later.msi"
echo "release: passed"
