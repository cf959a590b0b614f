// The resources as the built saver carries them, read back from TENVARA.scr
// loaded as a data file, each under the language it is filed with: what a
// resource compiler can get wrong.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <regex>

#include "resources/resource_ids.h"
#include "tests/test_support.h"

static const HMODULE Saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

// One resource's bytes; empty when it is not filed under that language.
std::string Resource(LPCSTR type, int id, WORD language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)) {
    HRSRC found = FindResourceExA(Saver, type, MAKEINTRESOURCEA(id), language);
    return found ? std::string(static_cast<const char *>(LockResource(LoadResource(Saver, found))),
                               SizeofResource(Saver, found)) : "";
}

// The settings dialog created from the file's template and read back from its
// windows with the wide calls, which show the caption as built whatever the
// ANSI code page. A message-only window owns it, so it neither shows nor takes
// the foreground from a test running beside this one.
TEST(Resources, TheSettingsDialogAsBuilt) {
    // Without the file every lookup would fall back to this test's own resources.
    ASSERT_TRUE(Saver) << SaverPath();
    const std::string dialog = Resource(RT_DIALOG, IDD_CONFIG);
    ASSERT_FALSE(dialog.empty()) << "no dialog template filed in Japanese";
    InitCommonControls();
    HWND window = CreateDialogIndirectParamW(Saver, LPCDLGTEMPLATEW(dialog.data()), HWND_MESSAGE, nullptr, 0);
    ASSERT_NE(nullptr, window) << "the dialog could not be created";
    // The dialog's and then each control's style, id, class and text, in tab order.
    std::vector<std::tuple<LONG, int, std::wstring, std::wstring>> windows;
    for (HWND each = window; each; each = GetWindow(each, each == window ? GW_CHILD : GW_HWNDNEXT)) {
        wchar_t name[32] = {}, text[64] = L"(icon)";
        GetClassNameW(each, name, 32);
        if (!SendMessageW(each, STM_GETICON, 0, 0)) // the icon's control shows the icon it names
            GetWindowTextW(each, text, 64);
        windows.push_back({GetWindowLongW(each, GWL_STYLE), GetDlgCtrlID(each), name, text});
    }
    DestroyWindow(window);
    // A top-level window always clips its siblings; the sliders take their border off.
    const LONG shown = WS_CHILD | WS_VISIBLE, label = shown | WS_GROUP | SS_LEFT, box = shown | BS_GROUPBOX,
               check = shown | WS_TABSTOP | BS_AUTOCHECKBOX, radio = shown | BS_AUTORADIOBUTTON;
    const LONG popup = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK;
    const std::wstring button = L"Button", text = L"Static", slider = L"msctls_trackbar32";
    EXPECT_EQ((decltype(windows){
        {popup, 0, L"#32770", L"TENVARA V1.0(ShadeScreenSaver)\u306E\u8A2D\u5B9A"},
        {shown | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, button, L"OK"},
        {shown | WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, button, L"CANCEL"},
        {shown | SS_ICON, -1, text, L"(icon)"},
        {label, -1, text, L"Speed"},
        {shown | WS_TABSTOP | TBS_AUTOTICKS, IDC_SPEED_SLIDER, slider, L"Slider1"},
        {box, -1, button, L"Select Color Mode"},
        {check, IDC_RED, button, L"Red"},
        {check, IDC_GREEN, button, L"Green"},
        {check, IDC_BLUE, button, L"Blue"},
        {radio, IDC_RANDOM, button, L"Random"},
        {radio, IDC_SEQUENCE, button, L"Sequence"},
        {box, -1, button, L"sequence"},
        {check, IDC_MIX, button, L"Mix"},
        {label, -1, text, L"https://tenvara.example/"},
        {shown | WS_TABSTOP | TBS_AUTOTICKS | TBS_BOTH, IDC_STEP_SLIDER, slider, L""},
    }), windows);
}

TEST(Resources, NameVersionAndManifest) {
    ASSERT_TRUE(Saver) << SaverPath();
    // The saver's name in the Screen Saver list; the other strings are seen in the file the dialog saves.
    char description[64] = {};
    LoadStringA(Saver, IDS_DESCRIPTION, description, sizeof description);
    EXPECT_STREQ("TENVARA(Shade ScreenSaver)", description);

    // The version block as Windows reads it for the file's properties: the
    // fixed part gives the project's version (the installer shows the same),
    // and the translation names the string table whose texts are shown.
    std::string block(GetFileVersionInfoSizeA(SaverPath().c_str(), nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(SaverPath().c_str(), 0, block.size(), block.data()));
    const auto value = [&block](const std::string &path) { // its bytes; a text's with its zero
        char *found = nullptr;
        UINT size = 0;
        VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void **>(&found), &size);
        return std::string(found ? found : "", found ? size : 0);
    };
    const DWORD high = TENVARA_VERSION_MAJOR << 16 | TENVARA_VERSION_MINOR, low = TENVARA_VERSION_PATCH << 16;
    const VS_FIXEDFILEINFO fixed = {0xFEEF04BD, 0x10000, high, low, high, low, 0x3F, 0, VOS_NT_WINDOWS32, VFT_APP};
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&fixed), sizeof fixed), value("\\"));
    EXPECT_EQ(std::string("\x11\x04\xB0\x04", 4), value("\\VarFileInfo\\Translation")) << "Japanese, Unicode";
    std::string texts;
    for (std::string name : {"CompanyName", "FileDescription", "FileVersion", "LegalCopyright", "ProductName"})
        texts += name + "=" + value("\\StringFileInfo\\041104b0\\" + name).c_str() + "\n";
    EXPECT_EQ("CompanyName=Tenvara Works\nFileDescription=Tenvara\nFileVersion=1, 0, 0, 0\n"
              "LegalCopyright=Copyright (C) 2026 Tenvara Works\nProductName=Tenvara\n", texts);

    // The manifest declares per-monitor DPI awareness in asm.v3's application
    // element, which Windows XP passes over, and nothing else: a trustInfo
    // would turn off the file virtualisation that the settings file needs for a
    // user without administrator rights, a dependency would give the dialog themes.
    const std::string manifest = Resource(RT_MANIFEST, IDR_MANIFEST, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><assembly xmlns=\"urn:schemas-"
              "microsoft-com:asm.v1\" manifestVersion=\"1.0\"><application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"
              "<windowsSettings><dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
              "</dpiAware><dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
              "PerMonitor</dpiAwareness></windowsSettings></application></assembly>\n",
              std::regex_replace(manifest, std::regex(">\\s+<"), "><"));
}
