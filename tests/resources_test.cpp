// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file, each under the language it is filed with.
#include <gtest/gtest.h>
#include <array>

#include "resources/resource_ids.h"
#include "tests/test_support.h"

static const HMODULE Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

// Reads one resource's little-endian fields in order, from the given offset;
// it is empty when the resource is not filed under that language.
struct Walker {
    std::string data;
    size_t at;
    Walker(LPCSTR type, int id, size_t start = 0, WORD language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)) : at(start)
    {
        if (HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language))
            data.assign(static_cast<const char *>(LockResource(LoadResource(Saver, found))), SizeofResource(Saver, found));
    }
    template <class T> T Next() { T v{}; return at += data.copy(reinterpret_cast<char *>(&v), sizeof v, at), v; }
    // A zero-ended text, or an ordinal (0xFFFF, then the number) shown as #n.
    std::wstring Text()
    {
        const wchar_t *text = reinterpret_cast<const wchar_t *>(data.c_str() + at);
        at += text[0] == 0xFFFF ? 4 : 2 * wcslen(text) + 2;
        return text[0] == 0xFFFF ? L"#" + std::to_wstring(text[1]) : text;
    }
};

TEST(Resources, AsBuilt)
{
    // Without the file every lookup would fall back to this test's own resources.
    ASSERT_TRUE(Saver) << SaverPath();
    // The settings dialog, past the version, signature, help id and extended style.
    Walker in(RT_DIALOG, IDD_CONFIG, 12);
    EXPECT_EQ(0x90C800C4, in.Next<DWORD>());
    const WORD count = in.Next<WORD>();
    EXPECT_EQ((std::array<short, 4>{34, 32, 177, 210}), (in.Next<std::array<short, 4>>())); // x, y, width, height
    in.at += 4; // no menu, the default class
    EXPECT_EQ(L"TENVARA V1.0(ShadeScreenSaver)\u306E\u8A2D\u5B9A", in.Text());
    // 10 points, weight 0, not italic (low byte), character set 1 (high byte).
    EXPECT_EQ((std::array<WORD, 3>{10, 0, 0x100}), (in.Next<std::array<WORD, 3>>()));
    EXPECT_EQ(L"Terminal", in.Text());
    // Each control: style, place, id, class and text, on four bytes past its
    // help id and extended style; the braces read the fields in order.
    std::vector<std::tuple<DWORD, std::array<short, 4>, int, std::wstring, std::wstring>> controls;
    while (controls.size() < count) {
        in.at = ((in.at + 3) & ~size_t(3)) + 8;
        controls.push_back({in.Next<DWORD>(), in.Next<std::array<short, 4>>(), in.Next<int>(), in.Text(), in.Text()});
        in.at += in.Next<WORD>(); // creation data
    }
    EXPECT_EQ((decltype(controls){
        {0x50030001, {33, 172, 48, 14}, IDOK, L"BUTTON", L"OK"},
        {0x50010000, {97, 172, 48, 14}, IDCANCEL, L"BUTTON", L"CANCEL"},
        {0x50000003, {5, 185, 21, 20}, -1, L"STATIC", L"#201"},
        {0x50020000, {6, 10, 23, 8}, -1, L"STATIC", L"Speed"},
        {0x50810001, {39, 4, 100, 17}, IDC_SPEED_SLIDER, L"MSCTLS_TRACKBAR32", L"Slider1"},
        {0x50000007, {5, 27, 167, 142}, -1, L"BUTTON", L"Select Color Mode"},
        {0x50010003, {24, 113, 28, 10}, IDC_RED, L"BUTTON", L"Red"},
        {0x50010003, {24, 127, 36, 10}, IDC_GREEN, L"BUTTON", L"Green"},
        {0x50010003, {24, 142, 32, 10}, IDC_BLUE, L"BUTTON", L"Blue"},
        {0x50000009, {38, 38, 40, 10}, IDC_RANDOM, L"BUTTON", L"Random"},
        {0x50000009, {38, 49, 48, 10}, IDC_SEQUENCE, L"BUTTON", L"Sequence"},
        {0x50000007, {11, 82, 89, 78}, -1, L"BUTTON", L"sequence"},
        {0x50010003, {40, 96, 28, 10}, IDC_MIX, L"BUTTON", L"Mix"},
        {0x50020000, {29, 191, 139, 8}, -1, L"STATIC", L"https://tenvara.example/"},
        {0x50810009, {10, 60, 158, 15}, IDC_STEP_SLIDER, L"MSCTLS_TRACKBAR32", L""},
    }), controls);
    // The string table. The key names are seen in the file the dialog saves; 1 names the saver in the
    // Screen Saver list.
    const struct { int id; const char *text; } strings[] = {
        {1, "TENVARA(Shade ScreenSaver)"}, {1001, "TENVARA.ini"}, {1002, "TENvara"}, {1007, "Screen Saver.TENvara"}};
    for (const auto &row : strings) {
        char text[64] = {};
        LoadStringA(Saver, row.id, text, sizeof text);
        EXPECT_STREQ(row.text, text);
    }
    // The icon group's one entry: 32 x 32 (a byte each), 16 colours, one plane, 4 bits, 744 bytes.
    const auto icon = Walker(RT_GROUP_ICON, IDI_TENVARA, 4).Next<std::array<WORD, 7>>();
    EXPECT_EQ((std::array<WORD, 7>{1, 0x2020, 16, 1, 4, 744, 0}), icon);
    // The version block: the fixed part gives the project's version (the installer
    // shows the same) while the texts say "1, 0, 0, 0".
    Walker version(RT_VERSION, 1, 40);
    const DWORD high = TENVARA_VERSION_MAJOR << 16 | TENVARA_VERSION_MINOR, low = TENVARA_VERSION_PATCH << 16;
    EXPECT_EQ((std::array<DWORD, 13>{0xFEEF04BD, 0x10000, high, low, high, low, 0x3F, 0, VOS_NT_WINDOWS32, VFT_APP}),
              (version.Next<std::array<DWORD, 13>>()));
    const std::wstring block(reinterpret_cast<const wchar_t *>(version.data.data()), version.data.size() / 2);
    EXPECT_TRUE(block.find(L"041104b0") != block.npos && block.find(L"1, 0, 0, 0") != block.npos) << "the texts";
    // The manifest, without trustInfo: the settings file is written through file virtualisation.
    const std::string manifest = Walker(RT_MANIFEST, IDR_MANIFEST, 0, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)).data;
    EXPECT_TRUE(manifest.find("<assembly ") != manifest.npos && manifest.find("trustInfo") == manifest.npos) << manifest;
}
