// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file: dialog template, string table, icon, version block
// and manifest, each under the language it is filed with.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

const WORD Japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// Walks a resource: little-endian words and zero-terminated UTF-16 strings.
struct Reader {
    std::vector<uint8_t> bytes;
    size_t at = 0;

    uint16_t Word()
    {
        at += 2;
        return at <= bytes.size() ? static_cast<uint16_t>(bytes[at - 2] | bytes[at - 1] << 8) : 0;
    }
    uint32_t Dword()
    {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    std::u16string Text()
    {
        std::u16string text;
        for (uint16_t c = Word(); c != 0 && at <= bytes.size(); c = Word())
            text += static_cast<char16_t>(c);
        return text;
    }
    // A name, or an ordinal (0xFFFF, number) shown as "#number".
    std::u16string NameOrOrdinal()
    {
        if (at + 2 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
            at += 2;
            std::string number = "#" + std::to_string(Word());
            return std::u16string(number.begin(), number.end());
        }
        return Text();
    }
    void Align() { at = (at + 3) & ~size_t(3); }
};

std::u16string U16(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

// windres writes class names in capitals and may file BUTTON and STATIC as
// their atoms; all of these name the same class.
std::u16string ClassName(std::u16string name)
{
    if (name == u"#128" || name == u"#130")
        return name == u"#128" ? u"BUTTON" : u"STATIC";
    for (char16_t &c : name)
        c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    return name;
}

BOOL CALLBACK CountResource(HMODULE, LPCSTR, LPSTR, LONG_PTR count)
{
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE); }
    static void TearDownTestSuite() { FreeLibrary(Saver); }
    void SetUp() override { ASSERT_NE(nullptr, Saver); }

    static Reader Resource(LPCSTR type, int id, WORD language = Japanese)
    {
        HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language);
        const uint8_t *data = found ? static_cast<const uint8_t *>(LockResource(LoadResource(Saver, found))) : nullptr;
        return Reader{std::vector<uint8_t>(data, data ? data + SizeofResource(Saver, found) : data)};
    }
    static HMODULE Saver;
};
HMODULE ResourcesTest::Saver;

} // namespace

TEST_F(ResourcesTest, DialogTemplate)
{
    Reader in = Resource(RT_DIALOG, 2003);
    ASSERT_FALSE(in.bytes.empty());
    // Version 1, the extended form, help id, extended style, style.
    EXPECT_EQ((std::vector<uint32_t>{1, 0xFFFF, 0, 0, 0x90C800C4}),
              (std::vector<uint32_t>{in.Word(), in.Word(), in.Dword(), in.Dword(), in.Dword()}));
    uint16_t count = in.Word();
    EXPECT_EQ(15, count);
    EXPECT_EQ((std::vector<uint16_t>{34, 32, 177, 210}),
              (std::vector<uint16_t>{in.Word(), in.Word(), in.Word(), in.Word()}));
    EXPECT_EQ(u"", in.NameOrOrdinal()); // no menu
    EXPECT_EQ(u"", in.NameOrOrdinal()); // the system's dialog class
    EXPECT_EQ(u"TENVARA V1.0(ShadeScreenSaver)\u306E\u8A2D\u5B9A", in.Text());
    // Points, weight, then italic 0 and character set 1 as one word.
    EXPECT_EQ((std::vector<uint16_t>{10, 0, 0x0100}), (std::vector<uint16_t>{in.Word(), in.Word(), in.Word()}));
    EXPECT_EQ(u"Terminal", in.Text());

    struct Control {
        int32_t id;
        const char *className, *text;
        uint32_t style;
        std::vector<uint16_t> rect;
    };
    const Control controls[] = {
        {1, "BUTTON", "OK", 0x50030001, {33, 172, 48, 14}},
        {2, "BUTTON", "CANCEL", 0x50010000, {97, 172, 48, 14}},
        {-1, "STATIC", "#201", 0x50000003, {5, 185, 21, 20}},
        {-1, "STATIC", "Speed", 0x50020000, {6, 10, 23, 8}},
        {1115, "MSCTLS_TRACKBAR32", "Slider1", 0x50810001, {39, 4, 100, 17}},
        {-1, "BUTTON", "Select Color Mode", 0x50000007, {5, 27, 167, 142}},
        {1108, "BUTTON", "Red", 0x50010003, {24, 113, 28, 10}},
        {1109, "BUTTON", "Green", 0x50010003, {24, 127, 36, 10}},
        {1110, "BUTTON", "Blue", 0x50010003, {24, 142, 32, 10}},
        {1112, "BUTTON", "Random", 0x50000009, {38, 38, 40, 10}},
        {1113, "BUTTON", "Sequence", 0x50000009, {38, 49, 48, 10}},
        {-1, "BUTTON", "sequence", 0x50000007, {11, 82, 89, 78}},
        {1114, "BUTTON", "Mix", 0x50010003, {40, 96, 28, 10}},
        {-1, "STATIC", "https://tenvara.example/", 0x50020000, {29, 191, 139, 8}},
        {1116, "MSCTLS_TRACKBAR32", "", 0x50810009, {10, 60, 158, 15}},
    };
    for (int i = 0; i < count && i < 15; ++i) {
        const Control &want = controls[i];
        SCOPED_TRACE(i + 1);
        in.Align();
        EXPECT_EQ(0u, in.Dword()); // help id
        EXPECT_EQ(0u, in.Dword()); // extended style
        EXPECT_EQ(want.style, in.Dword());
        EXPECT_EQ(want.rect, (std::vector<uint16_t>{in.Word(), in.Word(), in.Word(), in.Word()}));
        EXPECT_EQ(want.id, static_cast<int32_t>(in.Dword()));
        EXPECT_EQ(U16(want.className), ClassName(in.NameOrOrdinal()));
        EXPECT_EQ(U16(want.text), in.NameOrOrdinal());
        EXPECT_EQ(0, in.Word()); // no creation data
    }
    EXPECT_LE(in.at, in.bytes.size());
}

TEST_F(ResourcesTest, StringTable)
{
    const std::vector<std::pair<int, std::string>> want = {
        {1, "TENVARA(Shade ScreenSaver)"}, {2, "Step"}, {1001, "TENVARA.ini"}, {1002, "TENvara"},
        {1007, "Screen Saver.TENvara"}, {1009, "Speed"}, {1010, "R"}, {1012, "B"}, {1013, "G"}, {1016, "Mix"},
        {1017, "Mode"}};
    // Every string of every Japanese block, so that a stray entry shows too.
    std::vector<std::pair<int, std::string>> found;
    for (int block = 1; block <= 1017 / 16 + 1; ++block) {
        Reader in = Resource(RT_STRING, block);
        for (int id = (block - 1) * 16; !in.bytes.empty() && id < block * 16; ++id) {
            std::string text;
            for (uint16_t length = in.Word(); length > 0; --length)
                text += static_cast<char>(in.Word());
            if (!text.empty())
                found.push_back({id, text});
        }
    }
    EXPECT_EQ(want, found);
}

TEST_F(ResourcesTest, OneIconOf32By32In16Colours)
{
    Reader group = Resource(RT_GROUP_ICON, 201);
    ASSERT_EQ(6u + 14u, group.bytes.size()); // the header and exactly one entry
    // Reserved, icon type, count; width and height, colours and reserved,
    // planes, bits per pixel, the image's size.
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 1, 0x2020, 0x0010, 1, 4, 744}),
              (std::vector<uint32_t>{group.Word(), group.Word(), group.Word(), group.Word(), group.Word(),
                                     group.Word(), group.Word(), group.Dword()}));
    Reader image = Resource(RT_ICON, group.Word());
    ASSERT_EQ(744u, image.bytes.size());
    HICON icon = CreateIconFromResourceEx(image.bytes.data(), 744, TRUE, 0x00030000, 32, 32, 0);
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
}

TEST_F(ResourcesTest, VersionBlock)
{
    Reader in = Resource(RT_VERSION, 1);
    ASSERT_FALSE(in.bytes.empty());
    in.Word();
    EXPECT_EQ(52, in.Word()); // the fixed part's size
    in.Word();
    EXPECT_EQ(u"VS_VERSION_INFO", in.Text());
    in.Align();
    const std::vector<uint32_t> fixed = {0xFEEF04BD, 0x00010000, 0x00010003, 0,    0x00010003, 0, 0x3F,
                                         0,          VOS_NT_WINDOWS32, VFT_APP, 0, 0,          0};
    std::vector<uint32_t> read;
    for (size_t i = 0; i < fixed.size(); ++i)
        read.push_back(in.Dword());
    EXPECT_EQ(fixed, read);

    // Below it every node is: length, value length, type, key, then its value
    // (characters for text, bytes for binary) and its children, each aligned.
    std::vector<std::pair<std::string, std::u16string>> nodes;
    while (in.Align(), in.at < in.bytes.size()) {
        in.Word();
        uint16_t valueLength = in.Word();
        uint16_t type = in.Word();
        std::u16string key = in.Text();
        in.Align();
        std::u16string value;
        for (uint16_t i = 0; i < (type == 1 ? valueLength : valueLength / 2); ++i)
            value += static_cast<char16_t>(in.Word());
        while (!value.empty() && value.back() == 0)
            value.pop_back();
        nodes.push_back({std::string(key.begin(), key.end()), value});
    }
    const std::vector<std::pair<std::string, std::u16string>> want = {
        {"StringFileInfo", u""},
        {"041104b0", u""},
        {"Comments", u"https://tenvara.example/"},
        {"CompanyName", u"Tenvara Works"},
        {"FileDescription", u"Tenvara"},
        {"FileVersion", u"1, 0, 0, 0"},
        {"InternalName", u"Tenvara"},
        {"LegalCopyright", u"Copyright (C) Tenvara Works"},
        {"OriginalFilename", u"Tenvara"},
        {"ProductName", u"Tenvara"},
        {"ProductVersion", u"1, 0, 0, 0"},
        {"VarFileInfo", u""},
        {"Translation", u"\u0411\u04B0"},
    };
    EXPECT_EQ(want, nodes);
}

TEST_F(ResourcesTest, ManifestIsOneEmptyAssembly)
{
    Reader in = Resource(RT_MANIFEST, 1, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    std::string text(in.bytes.begin(), in.bytes.end());
    size_t element = text.find("<assembly");
    ASSERT_NE(std::string::npos, element);
    EXPECT_EQ(0u, text.find("<?xml")) << "only a declaration before it";
    EXPECT_EQ("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n",
              text.substr(element));
    // No second manifest, such as a toolchain's default one with trustInfo.
    int manifests = 0;
    EnumResourceNamesA(Saver, RT_MANIFEST, CountResource, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(1, manifests);
}
