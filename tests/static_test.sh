#!/bin/sh
# The shipped TENVARA.scr examined without being run, so that a host that runs
# no 32-bit program checks it too: a 32-bit GUI program that needs only the
# system's DLLs, whose resources the 64-bit resource test reads from the file,
# and whose link map shows nothing of the toolchain's runtime that
# packaging/linked-runtime.txt does not allow (the notices would lack it).
#   static_test.sh SOURCE_DIR BUILD_DIR OBJDUMP RESOURCE_TEST
set -eu
scr=$2/bin/TENVARA.scr
"$1/scripts/linked-runtime" check "$2/TENVARA.map"
# Format, 4 GB of address space on 64-bit Windows, optional header magic,
# subsystem and imported DLLs, in the order objdump lists them.
seen=$("$3" -p "$scr" | tr -s ' \t' ' ' |
    sed -n 's/.*file format //p; s/^ \(large address aware\)$/\1/p; s/^Magic //p; s/^Subsystem //p; s/^ DLL Name: //p' |
    tr a-z A-Z | tr '\n' ,)
[ "$seen" = "PEI-I386,LARGE ADDRESS AWARE,010B (PE32),00000002 (WINDOWS GUI),ADVAPI32.DLL,COMCTL32.DLL,GDI32.DLL,KERNEL32.DLL,MSVCRT.DLL,USER32.DLL," ] ||
    { echo "FAILED: $scr is $seen" >&2 && exit 1; }
# A download of a few dozen kilobytes, like the savers it sits beside.
[ "$(stat -c %s "$scr")" -le 34816 ] || { echo "FAILED: $scr has grown to $(stat -c %s "$scr") bytes" >&2 && exit 1; }
BUILD_DIR=$2 . "$1/scripts/wine-env"
TENVARA_SAVER="Z:$(echo "$scr" | tr / '\\')" "$WINE64" "$4" --gtest_brief=1
