// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file, each under the language it is filed with.
#include <gtest/gtest.h>
#include <array>
#include <regex>

#include "resources/resource_ids.h"
#include "tests/test_support.h"

static const HMODULE Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

// Reads one resource's little-endian fields in order, from the given offset;
// it is empty when the resource is not filed under that language.
struct Walker {
    std::string data;
    size_t at;
    Walker(LPCSTR type, int id, size_t start = 0, WORD language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)) : at(start) {
        if (HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language))
            data.assign(static_cast<const char *>(LockResource(LoadResource(Saver, found))), SizeofResource(Saver, found));
    }
    template <class T> T Next() { T v{}; at += data.copy(reinterpret_cast<char *>(&v), sizeof v, at); return v; }
    // A zero-ended text, or an ordinal (0xFFFF, then the number) shown as #n.
    std::wstring Text() {
        const wchar_t *text = reinterpret_cast<const wchar_t *>(data.c_str() + at);
        at += text[0] == 0xFFFF ? 4 : 2 * wcslen(text) + 2;
        return text[0] == 0xFFFF ? L"#" + std::to_wstring(text[1]) : text;
    }
};

TEST(Resources, AsBuilt) {
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
    // Each control's style, id, class and text, in tab order; where it sits
    // on four bytes past its help id and extended style is the layout's business.
    std::vector<std::tuple<DWORD, int, std::wstring, std::wstring>> controls;
    while (controls.size() < count) {
        in.at = ((in.at + 3) & ~size_t(3)) + 8;
        const DWORD style = in.Next<DWORD>();
        in.at += 8;
        controls.push_back({style, in.Next<int>(), in.Text(), in.Text()});
        in.at += in.Next<WORD>(); // creation data
    }
    const std::wstring button = L"BUTTON", text = L"STATIC", slider = L"MSCTLS_TRACKBAR32";
    EXPECT_EQ((decltype(controls){
        {0x50030001, IDOK, button, L"OK"}, {0x50010000, IDCANCEL, button, L"CANCEL"}, {0x50000003, -1, text, L"#201"},
        {0x50020000, -1, text, L"Speed"}, {0x50810001, IDC_SPEED_SLIDER, slider, L"Slider1"},
        {0x50000007, -1, button, L"Select Color Mode"}, {0x50010003, IDC_RED, button, L"Red"},
        {0x50010003, IDC_GREEN, button, L"Green"}, {0x50010003, IDC_BLUE, button, L"Blue"},
        {0x50000009, IDC_RANDOM, button, L"Random"}, {0x50000009, IDC_SEQUENCE, button, L"Sequence"},
        {0x50000007, -1, button, L"sequence"}, {0x50010003, IDC_MIX, button, L"Mix"},
        {0x50020000, -1, text, L"https://tenvara.example/"}, {0x50810009, IDC_STEP_SLIDER, slider, L""}}),
        controls);
    // The saver's name in the Screen Saver list; the other strings are seen in the file the dialog saves.
    char description[64] = {};
    LoadStringA(Saver, IDS_DESCRIPTION, description, sizeof description);
    EXPECT_STREQ("TENVARA(Shade ScreenSaver)", description);
    // The icon group's one entry: 32 x 32 (a byte each), 16 colours, one plane, 4 bits, 744 bytes.
    using IconEntry = std::array<WORD, 7>;
    EXPECT_EQ((IconEntry{1, 0x2020, 16, 1, 4, 744, 0}), (Walker(RT_GROUP_ICON, IDI_TENVARA, 4).Next<IconEntry>()));

    // The version block as Windows reads it for the file's properties: the
    // fixed part gives the project's version (the installer shows the same),
    // and the translation names the string table whose texts are shown.
    std::string block(GetFileVersionInfoSizeA(SaverPath().c_str(), nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(SaverPath().c_str(), 0, block.size(), block.data()));
    const auto value = [&block](const std::string &path) -> const void * {
        static const DWORD none[16] = {}; // what a missing value reads as
        void *found = nullptr;
        UINT size;
        return VerQueryValueA(block.data(), path.c_str(), &found, &size) && found ? found : none;
    };
    const DWORD high = TENVARA_VERSION_MAJOR << 16 | TENVARA_VERSION_MINOR, low = TENVARA_VERSION_PATCH << 16;
    EXPECT_EQ((std::array<DWORD, 13>{0xFEEF04BD, 0x10000, high, low, high, low, 0x3F, 0, VOS_NT_WINDOWS32, VFT_APP}),
              (*static_cast<const std::array<DWORD, 13> *>(value("\\"))));
    const WORD *translation = static_cast<const WORD *>(value("\\VarFileInfo\\Translation"));
    EXPECT_EQ(std::make_pair(WORD(0x0411), WORD(0x04B0)), std::make_pair(translation[0], translation[1]));
    char table[32];
    wsprintfA(table, "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    std::string texts;
    for (std::string name : {"CompanyName", "FileDescription", "FileVersion", "LegalCopyright", "ProductName"})
        texts += name + "=" + static_cast<const char *>(value(table + name)) + "\n";
    EXPECT_EQ("CompanyName=Tenvara Works\nFileDescription=Tenvara\nFileVersion=1, 0, 0, 0\n"
              "LegalCopyright=Copyright (C) 2026 Tenvara Works\nProductName=Tenvara\n", texts);

    // The manifest declares per-monitor DPI awareness in asm.v3's application
    // element, which Windows XP passes over, and nothing else: a trustInfo
    // would turn off the file virtualisation that the settings file needs for a
    // user without administrator rights, a dependency would give the dialog themes.
    const std::string manifest = Walker(RT_MANIFEST, IDR_MANIFEST, 0, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)).data;
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><assembly xmlns=\"urn:schemas-"
              "microsoft-com:asm.v1\" manifestVersion=\"1.0\"><application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"
              "<windowsSettings><dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
              "</dpiAware><dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
              "PerMonitor</dpiAwareness></windowsSettings></application></assembly>\n",
              std::regex_replace(manifest, std::regex(">\\s+<"), "><"));
}
