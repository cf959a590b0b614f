// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file: dialog template, string table, icon, version block
// and manifest, each with the language it is filed under.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

const WORD Japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD EnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(Saver); }
    void SetUp() override { ASSERT_NE(nullptr, Saver); }

    static std::vector<uint8_t> Resource(LPCSTR type, int id, WORD language)
    {
        HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language);
        if (!found)
            return {};
        const uint8_t *data = static_cast<const uint8_t *>(LockResource(LoadResource(Saver, found)));
        return std::vector<uint8_t>(data, data + SizeofResource(Saver, found));
    }
    static HMODULE Saver;
};
HMODULE ResourcesTest::Saver;

// Walks a resource's bytes the way its readers do: little-endian words and
// zero-terminated UTF-16 strings, kept as std::u16string.
struct Reader {
    const std::vector<uint8_t> &bytes;
    size_t at;

    uint16_t Word()
    {
        uint16_t value = at + 2 <= bytes.size() ? static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8) : 0;
        at += 2;
        return value;
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
    // A name or an ordinal (0xFFFF then the number), the ordinal shown as "#n".
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

std::u16string U16(const char *text)
{
    std::string narrow(text);
    return std::u16string(narrow.begin(), narrow.end());
}

// windres may file the two predefined classes as atoms and writes names in
// capitals; both forms name the same class.
std::u16string ClassName(std::u16string name)
{
    if (name == u"#128")
        return u"BUTTON";
    if (name == u"#130")
        return u"STATIC";
    for (char16_t &c : name)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return name;
}

BOOL CALLBACK CountResource(HMODULE, LPCSTR, LPSTR, LONG_PTR count)
{
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

} // namespace

TEST_F(ResourcesTest, DialogTemplate)
{
    std::vector<uint8_t> bytes = Resource(RT_DIALOG, 2003, Japanese);
    ASSERT_FALSE(bytes.empty());
    Reader in{bytes, 0};
    EXPECT_EQ(1, in.Word());
    EXPECT_EQ(0xFFFF, in.Word()); // the extended form
    EXPECT_EQ(0u, in.Dword());    // help id
    EXPECT_EQ(0u, in.Dword());    // extended style
    EXPECT_EQ(0x90C800C4u, in.Dword());
    uint16_t count = in.Word();
    EXPECT_EQ(15, count);
    uint16_t frame[4] = {in.Word(), in.Word(), in.Word(), in.Word()};
    EXPECT_EQ((std::vector<uint16_t>{34, 32, 177, 210}), std::vector<uint16_t>(frame, frame + 4));
    EXPECT_EQ(u"", in.NameOrOrdinal()); // no menu
    EXPECT_EQ(u"", in.NameOrOrdinal()); // the system's dialog class
    EXPECT_EQ(u"TENVARA V1.0(ShadeScreenSaver)\u306E\u8A2D\u5B9A", in.Text());
    EXPECT_EQ(10, in.Word());
    EXPECT_EQ(0, in.Word()); // weight
    EXPECT_EQ(0x0100, in.Word()); // not italic, character set 1
    EXPECT_EQ(u"Terminal", in.Text());

    struct Control {
        int32_t id;
        const char *className;
        const char *text;
        uint32_t style;
        uint16_t x, y, width, height;
    };
    const Control controls[] = {
        {1, "BUTTON", "OK", 0x50030001, 33, 172, 48, 14},
        {2, "BUTTON", "CANCEL", 0x50010000, 97, 172, 48, 14},
        {-1, "STATIC", "#201", 0x50000003, 5, 185, 21, 20},
        {-1, "STATIC", "Speed", 0x50020000, 6, 10, 23, 8},
        {1115, "MSCTLS_TRACKBAR32", "Slider1", 0x50810001, 39, 4, 100, 17},
        {-1, "BUTTON", "Select Color Mode", 0x50000007, 5, 27, 167, 142},
        {1108, "BUTTON", "Red", 0x50010003, 24, 113, 28, 10},
        {1109, "BUTTON", "Green", 0x50010003, 24, 127, 36, 10},
        {1110, "BUTTON", "Blue", 0x50010003, 24, 142, 32, 10},
        {1112, "BUTTON", "Random", 0x50000009, 38, 38, 40, 10},
        {1113, "BUTTON", "Sequence", 0x50000009, 38, 49, 48, 10},
        {-1, "BUTTON", "sequence", 0x50000007, 11, 82, 89, 78},
        {1114, "BUTTON", "Mix", 0x50010003, 40, 96, 28, 10},
        {-1, "STATIC", "https://tenvara.example/", 0x50020000, 29, 191, 139, 8},
        {1116, "MSCTLS_TRACKBAR32", "", 0x50810009, 10, 60, 158, 15},
    };
    for (int i = 0; i < count && i < 15; ++i) {
        const Control &want = controls[i];
        SCOPED_TRACE(i + 1);
        in.Align();
        EXPECT_EQ(0u, in.Dword()); // help id
        EXPECT_EQ(0u, in.Dword()); // extended style
        EXPECT_EQ(want.style, in.Dword());
        uint16_t rect[4] = {in.Word(), in.Word(), in.Word(), in.Word()};
        EXPECT_EQ((std::vector<uint16_t>{want.x, want.y, want.width, want.height}),
                  std::vector<uint16_t>(rect, rect + 4));
        EXPECT_EQ(want.id, static_cast<int32_t>(in.Dword()));
        EXPECT_EQ(U16(want.className), ClassName(in.NameOrOrdinal()));
        EXPECT_EQ(U16(want.text), in.NameOrOrdinal());
        EXPECT_EQ(0, in.Word()); // no creation data
    }
    EXPECT_LE(in.at, bytes.size());
}

TEST_F(ResourcesTest, StringTable)
{
    struct Row {
        int id;
        const char *text;
    };
    const Row rows[] = {
        {1, "TENVARA(Shade ScreenSaver)"}, {2, "Step"},    {1001, "TENVARA.ini"}, {1002, "TENvara"},
        {1007, "Screen Saver.TENvara"},    {1009, "Speed"}, {1010, "R"},           {1012, "B"},
        {1013, "G"},                       {1016, "Mix"},   {1017, "Mode"},
    };
    int present = 0;
    for (int block = 1; block <= 1017 / 16 + 1; ++block) {
        std::vector<uint8_t> bytes = Resource(RT_STRING, block, Japanese);
        Reader in{bytes, 0};
        for (int id = (block - 1) * 16; !bytes.empty() && id < block * 16; ++id) {
            std::u16string text;
            for (uint16_t length = in.Word(); length > 0; --length)
                text += static_cast<char16_t>(in.Word());
            if (text.empty())
                continue;
            ++present;
            const Row *want = nullptr;
            for (const Row &row : rows)
                if (row.id == id)
                    want = &row;
            SCOPED_TRACE(id);
            ASSERT_NE(nullptr, want);
            EXPECT_EQ(U16(want->text), text);
        }
    }
    EXPECT_EQ(11, present);
}

TEST_F(ResourcesTest, Icon)
{
    std::vector<uint8_t> group = Resource(RT_GROUP_ICON, 201, Japanese);
    ASSERT_EQ(6u + 14u, group.size()); // a header and exactly one entry
    Reader in{group, 0};
    EXPECT_EQ(0, in.Word());
    EXPECT_EQ(1, in.Word()); // icons, not cursors
    EXPECT_EQ(1, in.Word());
    EXPECT_EQ(0x2020, in.Word()); // 32 wide, 32 high
    EXPECT_EQ(0x0010, in.Word()); // 16 colours
    EXPECT_EQ(1, in.Word());      // planes
    EXPECT_EQ(4, in.Word());      // bits per pixel
    EXPECT_EQ(744u, in.Dword());
    uint16_t imageId = in.Word();

    std::vector<uint8_t> image = Resource(RT_ICON, imageId, Japanese);
    ASSERT_EQ(744u, image.size());
    Reader header{image, 0};
    EXPECT_EQ(40u, header.Dword());
    EXPECT_EQ(32u, header.Dword());
    EXPECT_EQ(64u, header.Dword()); // colours and mask stacked
    EXPECT_EQ(1, header.Word());
    EXPECT_EQ(4, header.Word());
    // The picture itself draws as an icon.
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 32,
                                          32, 0);
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
}

TEST_F(ResourcesTest, VersionBlock)
{
    std::vector<uint8_t> bytes = Resource(RT_VERSION, 1, Japanese);
    ASSERT_FALSE(bytes.empty());
    Reader in{bytes, 0};
    in.Word(); // length
    EXPECT_EQ(52, in.Word());
    EXPECT_EQ(0, in.Word());
    EXPECT_EQ(u"VS_VERSION_INFO", in.Text());
    in.Align();
    const uint32_t fixed[] = {0xFEEF04BD, 0x00010000, 0x00010003, 0, 0x00010003, 0, 0x3F, 0,
                              VOS_NT_WINDOWS32, VFT_APP, 0, 0, 0};
    for (uint32_t want : fixed)
        EXPECT_EQ(want, in.Dword());

    // Every node: length, value length, type, key, aligned value, aligned children.
    struct Node {
        std::u16string key, value;
        size_t end, children;
    };
    auto readNode = [&](size_t at) {
        Reader node{bytes, at};
        Node result;
        uint16_t length = node.Word();
        uint16_t valueLength = node.Word();
        uint16_t type = node.Word();
        result.key = node.Text();
        node.Align();
        result.end = at + length;
        // Text values count characters, binary ones bytes.
        for (uint16_t i = 0; i < (type == 1 ? valueLength : valueLength / 2); ++i)
            result.value += static_cast<char16_t>(node.Word());
        while (!result.value.empty() && result.value.back() == 0)
            result.value.pop_back();
        node.Align();
        result.children = node.at;
        return result;
    };
    in.Align();
    Node stringInfo = readNode(in.at);
    EXPECT_EQ(u"StringFileInfo", stringInfo.key);
    Node table = readNode(stringInfo.children);
    EXPECT_EQ(u"041104b0", table.key);
    const char *strings[][2] = {
        {"Comments", "https://tenvara.example/"},
        {"CompanyName", "Tenvara Works"},
        {"FileDescription", "Tenvara"},
        {"FileVersion", "1, 0, 0, 0"},
        {"InternalName", "Tenvara"},
        {"LegalCopyright", "Copyright (C) Tenvara Works"},
        {"OriginalFilename", "Tenvara"},
        {"ProductName", "Tenvara"},
        {"ProductVersion", "1, 0, 0, 0"},
    };
    size_t at = table.children;
    for (const auto &want : strings) {
        SCOPED_TRACE(want[0]);
        ASSERT_LT(at, table.end);
        Node entry = readNode(at);
        EXPECT_EQ(U16(want[0]), entry.key);
        EXPECT_EQ(U16(want[1]), entry.value);
        at = (entry.end + 3) & ~size_t(3);
    }
    EXPECT_GE(at, table.end); // nothing after the ninth

    Node varInfo = readNode((stringInfo.end + 3) & ~size_t(3));
    EXPECT_EQ(u"VarFileInfo", varInfo.key);
    Node translation = readNode(varInfo.children);
    EXPECT_EQ(u"Translation", translation.key);
    EXPECT_EQ((std::u16string{0x0411, 0x04B0}), translation.value);
}

TEST_F(ResourcesTest, ManifestIsOneEmptyAssembly)
{
    std::vector<uint8_t> bytes = Resource(RT_MANIFEST, 1, EnglishUs);
    ASSERT_FALSE(bytes.empty());
    std::string text(bytes.begin(), bytes.end());
    if (text.compare(0, 5, "<?xml") == 0)
        text.erase(0, text.find("?>") + 2);
    while (!text.empty() && isspace(static_cast<unsigned char>(text.front())))
        text.erase(0, 1);
    while (!text.empty() && isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    EXPECT_EQ("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>", text);

    // No second manifest, such as a toolchain's default one with trustInfo.
    int manifests = 0;
    EnumResourceNamesA(Saver, RT_MANIFEST, CountResource, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(1, manifests);
}
