#!/bin/sh
# The release as a releaser and a user meet it: scripts/package run for real,
# its outputs compared byte for byte and unpacked, and the installer run under
# Wine in the test prefix.
#   release_test.sh package|install SOURCE_DIR BUILD_DIR
set -eu
case=$1 ROOT=$2 BUILD_DIR=$3
T=$BUILD_DIR/release-test/$case
rm -rf "$T" && mkdir -p "$T"
SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1780000000)
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(TENVARA VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
zip=TENVARA-$version.zip msi=TENVARA-$version.msi
failures=0

expect() { # DESCRIPTION COMMAND...
    what=$1
    shift
    "$@" || { echo "FAILED: $what" && failures=$((failures + 1)); }
}

not() { ! "$@"; }

package() { # SOURCE_DIR DIST_DIR [NAME=VALUE...]; its messages go to $T/log
    source=$1 dist=$2
    shift 2
    env BUILD_DIR="$BUILD_DIR" DIST_DIR="$dist" "$@" "$source/scripts/package" >"$T/log" 2>&1
}

must_package() {
    package "$@" || { cat "$T/log" >&2 && exit 1; }
}

refused() { # DIST_DIR MESSAGE [NAME=VALUE...]
    dist=$1 message=$2
    shift 2
    expect "packaging stops: $message" not package "$ROOT" "$dist" "$@"
    expect "the refusal says \"$message\"" grep -q "$message" "$T/log"
    expect "nothing is left in $dist" test -z "$(ls -A "$dist" 2>/dev/null)"
}

if [ "$case" = package ]; then
    # The tested build packaged here, and a copy of the sources packaged from scratch elsewhere.
    must_package "$ROOT" "$T/here"
    mkdir "$T/copy"
    (cd "$ROOT" && git ls-files -co --exclude-standard -z | xargs -0 tar -cf -) | tar -xf - -C "$T/copy"
    must_package "$T/copy" "$T/there" BUILD_DIR="$T/copy/build"
    for file in "$zip" "$msi" SHA256SUMS; do
        expect "$file is the same from both folders" cmp "$T/here/$file" "$T/there/$file"
    done
    expect "SHA256SUMS holds" sh -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS' - "$T/here"
    expect "the zip holds the saver and the guide only" test "$(unzip -Z1 "$T/here/$zip" | tr '\n' ' ')" = "TENVARA.scr README.txt "
    unzip -q "$T/here/$zip" -d "$T/unzipped"
    expect "the zipped saver is the tested one" cmp "$T/unzipped/TENVARA.scr" "$BUILD_DIR/bin/TENVARA.scr"
    expect "the guide has Windows line ends" test -z "$(grep -v "$(printf '\r')\$" "$T/unzipped/README.txt")"

    openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=TENVARA test" -addext extendedKeyUsage=codeSigning \
        -days 2 -keyout "$T/key.pem" -out "$T/cert.pem" 2>/dev/null
    openssl pkcs12 -export -inkey "$T/key.pem" -in "$T/cert.pem" -passout pass:right -out "$T/cert.pfx"
    must_package "$ROOT" "$T/signed" TENVARA_SIGN_PFX="$T/cert.pfx" TENVARA_SIGN_PASSWORD=right
    unzip -q "$T/signed/$zip" TENVARA.scr -d "$T/signed"
    for file in TENVARA.scr "$msi"; do
        expect "$file is signed" osslsigncode verify -CAfile "$T/cert.pem" -in "$T/signed/$file" >/dev/null
    done

    mkdir "$T/path" && ln -s /usr/bin/* /usr/sbin/* "$T/path/" 2>/dev/null || true
    rm "$T/path/wixl"
    refused "$T/no-wixl" "wixl is missing" PATH="$T/path"
    : >"$T/file"
    refused "$T/file/dist" "cannot create $T/file/dist"
    refused "$T/wrong-password" "cannot sign TENVARA.scr" TENVARA_SIGN_PFX="$T/cert.pfx" TENVARA_SIGN_PASSWORD=wrong
fi

if [ "$case" = install ]; then
    . "$ROOT/scripts/wine-env"
    must_package "$ROOT" "$T"
    later="{7E57AB1E-0000-4000-8000-00000000A7E5}"
    code=$(msiinfo export "$T/$msi" Property | tr -d '\r' | sed -n "s/^ProductCode$(printf '\t')//p")
    installed=$WINEPREFIX/drive_c/windows/syswow64/TENVARA.scr
    settings=$WINEPREFIX/drive_c/windows/TENVARA.ini
    msiexec() { # /i|/x PACKAGE_FILE|PRODUCT_CODE
        target=$2
        [ -e "$target" ] && target=$(winepath -w "$target")
        wine msiexec "$1" "$target" /qn >/dev/null 2>&1
    }
    entry() { # PRODUCT_CODE VALUE: from the Add/Remove Programs entry
        wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" /v "$2" /reg:32 2>/dev/null |
            tr -d '\r' | sed -n 's/.*REG_SZ *//p'
    }
    msiexec /x "$code" || true
    msiexec /x "$later" || true

    expect "msiexec installs" msiexec /i "$T/$msi"
    expect "the saver is in the 32-bit system folder" cmp "$installed" "$BUILD_DIR/bin/TENVARA.scr"
    expect "Add/Remove Programs lists it" test "$(entry "$code" DisplayName) $(entry "$code" DisplayVersion)" = "TENVARA $version"
    expect "the installed copy runs" env TENVARA_SAVER='C:\windows\syswow64\TENVARA.scr' \
        wine "$BUILD_DIR/bin/config_dialog_test.exe" --gtest_filter='DialogEndToEnd.*' --gtest_brief=1
    printf 'Speed=7\r\n' >"$settings"
    expect "msiexec uninstalls" msiexec /x "$T/$msi"
    expect "the saver is gone" test ! -e "$installed"
    expect "the entry is gone" test -z "$(entry "$code" DisplayName)"
    expect "the user's settings stay" test "$(cat "$settings")" = "$(printf 'Speed=7\r')"

    # A later version replaces this one, and this one will not replace it.
    cp "$ROOT/packaging/tenvara.wxs" "$ROOT/resources/tenvara.ico" "$BUILD_DIR/bin/TENVARA.scr" "$T/"
    (cd "$T" && wixl -o later.msi -D Version=99.0.0 -D ProductCode="$later" -D SaverFile=TENVARA.scr \
        -D IconFile=tenvara.ico tenvara.wxs)
    msiexec /i "$T/$msi"
    expect "the later version installs" msiexec /i "$T/later.msi"
    expect "it replaces this one" test "$(entry "$code" DisplayName)/$(entry "$later" DisplayVersion)" = "/99.0.0"
    expect "this version refuses to go over it" not msiexec /i "$T/$msi"
    expect "the later version stays" test -e "$installed" -a "$(entry "$later" DisplayVersion)" = 99.0.0
    msiexec /x "$later"
fi

[ "$failures" = 0 ] && echo "release $case: passed"
[ "$failures" = 0 ]
