// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file, each under the language it is filed with.
#include <gtest/gtest.h>
#include <sstream>

#include "tests/test_support.h"

static HMODULE Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

// One resource (empty if missing), read as little-endian fields.
struct Reader {
    const BYTE *base = nullptr, *at = nullptr, *end = nullptr;
    Reader(LPCSTR type, int id, WORD language)
    {
        if (HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language))
            end = (at = base = static_cast<const BYTE *>(LockResource(LoadResource(Saver, found)))) + SizeofResource(Saver, found);
    }
    DWORD B() { return ++at <= end ? at[-1] : 0; }
    DWORD W() { DWORD low = B(); return low | B() << 8; }
    DWORD D() { DWORD low = W(); return low | W() << 16; }
    // Up to n characters, or to a zero.
    std::wstring Text(DWORD n) { std::wstring text; for (wchar_t c; n-- > 0 && (c = wchar_t(W())) != 0;) text += c; return L"'" + text + L"' "; }
    // The fields by letter: b byte, w word, n signed and x hex dword, c counted
    // and s zero-ended 'text' (or #ordinal), v a version node (key, value,
    // new line), r the rest as bytes; a aligns to four bytes, * repeats the
    // rest to the end; anything else is copied.
    std::wstring Read(const char *fields)
    {
        std::wostringstream out;
        for (DWORD length, text; *fields; ++fields) {
            switch (*fields) {
            case '*': while (at < end) out << Read(fields + 1); return out.str();
            case 'a': at = base + ((at - base + 3) & ~3); break;
            case 'b': out << B() << L' '; break;
            case 'w': out << W() << L' '; break;
            case 'n': out << int(D()) << L' '; break;
            case 'x': out << std::hex << D() << std::dec << L' '; break;
            case 'c': out << Text(W()); break;
            case 's': out << (at + 1 < end && at[0] == 0xFF && at[1] == 0xFF ? L"#" + std::to_wstring((W(), W())) + L" " : Text(~0u)); break;
            case 'r': while (at < end) out << wchar_t(B()); break;
            case 'v': // length, value length, type (1: text), key, value
                W(), length = W(), text = W();
                out << Read(text && length ? "sas\n" : ("sa" + std::string(text ? 0 : length / 4, 'x') + "\n").c_str());
                break;
            default: out << wchar_t(*fields);
            }
        }
        return out.str();
    }
};

// Each resource shown as its size, then its fields.
TEST(Resources, AsBuilt)
{
    struct Row { LPCSTR type; int id; const char *fields; const wchar_t *want; WORD language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT); };
    ASSERT_NE(nullptr, Saver);
    const Row rows[] = {
        // Version, extended form, help id, extended style, style, count, x, y,
        // cx, cy, menu, class, caption, points, weight, italic, character set,
        // font; for each control: help id, extended style, style, x, y, cx,
        // cy, id, class, text, creation data.
        {RT_DIALOG, 2003, "wwxxxwwwwwssswwbbs\n*axxxwwwwnssw\n",
         L"1012: 1 65535 0 0 90c800c4 15 34 32 177 210 '' '' 'TENVARA V1.0(ShadeScreenSaver)\u306E\u8A2D\u5B9A' 10 0 0 1 'Terminal' \n"
         L"0 0 50030001 33 172 48 14 1 'BUTTON' 'OK' 0 \n"
         L"0 0 50010000 97 172 48 14 2 'BUTTON' 'CANCEL' 0 \n"
         L"0 0 50000003 5 185 21 20 -1 'STATIC' #201 0 \n"
         L"0 0 50020000 6 10 23 8 -1 'STATIC' 'Speed' 0 \n"
         L"0 0 50810001 39 4 100 17 1115 'MSCTLS_TRACKBAR32' 'Slider1' 0 \n"
         L"0 0 50000007 5 27 167 142 -1 'BUTTON' 'Select Color Mode' 0 \n"
         L"0 0 50010003 24 113 28 10 1108 'BUTTON' 'Red' 0 \n"
         L"0 0 50010003 24 127 36 10 1109 'BUTTON' 'Green' 0 \n"
         L"0 0 50010003 24 142 32 10 1110 'BUTTON' 'Blue' 0 \n"
         L"0 0 50000009 38 38 40 10 1112 'BUTTON' 'Random' 0 \n"
         L"0 0 50000009 38 49 48 10 1113 'BUTTON' 'Sequence' 0 \n"
         L"0 0 50000007 11 82 89 78 -1 'BUTTON' 'sequence' 0 \n"
         L"0 0 50010003 40 96 28 10 1114 'BUTTON' 'Mix' 0 \n"
         L"0 0 50020000 29 191 139 8 -1 'STATIC' 'https://tenvara.example/' 0 \n"
         L"0 0 50810009 10 60 158 15 1116 'MSCTLS_TRACKBAR32' '' 0 \n"},
        // Strings 0 to 15, 992 to 1007 and 1008 to 1023.
        {RT_STRING, 1, "*c", L"92: '' 'TENVARA(Shade ScreenSaver)' 'Step' '' '' '' '' '' '' '' '' '' '' '' '' '' "},
        {RT_STRING, 63, "*c", L"108: '' '' '' '' '' '' '' '' '' 'TENVARA.ini' 'TENvara' '' '' '' '' 'Screen Saver.TENvara' "},
        {RT_STRING, 64, "*c", L"62: '' 'Speed' 'R' '' 'B' 'G' '' '' 'Mix' 'Mode' '' '' '' '' '' '' "},
        // Reserved, type, count; width, height, colours, reserved, planes,
        // bits per pixel, size, id. Then the image's header.
        {RT_GROUP_ICON, 201, "wwwbbbbwwnw", L"20: 0 1 1 32 32 16 0 1 4 744 1 "},
        {RT_ICON, 1, "nnnww", L"744: 40 32 64 1 4 "},
        // The fixed part (signature, structure version, file and product
        // versions high and low, flags mask, flags, system, type, subtype,
        // date), then the text keys and values; the translation is 0411, 04b0.
        {RT_VERSION, 1, "*av",
         L"772: 'VS_VERSION_INFO' feef04bd 10000 10003 0 10003 0 3f 0 40004 1 0 0 0 \n'StringFileInfo' \n'041104b0' \n"
         L"'Comments' 'https://tenvara.example/' \n'CompanyName' 'Tenvara Works' \n'FileDescription' 'Tenvara' \n"
         L"'FileVersion' '1, 0, 0, 0' \n'InternalName' 'Tenvara' \n'LegalCopyright' 'Copyright (C) Tenvara Works' \n"
         L"'OriginalFilename' 'Tenvara' \n'ProductName' 'Tenvara' \n'ProductVersion' '1, 0, 0, 0' \n"
         L"'VarFileInfo' \n'Translation' 4b00411 \n"},
        {RT_MANIFEST, 1, "r",
         L"131: <?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         L"<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n",
         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        Reader in(row.type, row.id, row.language);
        EXPECT_EQ(row.want, std::to_wstring(in.end - in.base) + L": " + in.Read(row.fields));
    }
}
