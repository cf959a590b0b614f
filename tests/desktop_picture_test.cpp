// What the saver shows where Windows keeps the user's desktop from it: where
// each picture position puts the wallpaper, what is painted from the user's
// files (also without WIC: ctest runs this a second time with Wine's
// windowscodecs.dll turned off), and the built saver on a desktop of its own.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>

#include "effect/desktop_picture.h"
#include "effect/wallpaper_placement.h"
#include "tests/test_support.h"

TEST(WallpaperPlacement, EveryPositionOnTwoMonitors) {
    // The other monitor is left of the primary and reaches 200 pixels higher.
    const RECT primary = {0, 0, 1920, 1080}, other = {-1280, -200, 0, 824}, both = {-1280, -200, 1920, 1080};
    const struct { const char *name, *style, *tile; RECT area; SIZE picture = {1000, 500}; RECT placed; } rows[] = {
        {.name = "centre on the primary", .style = "0", .tile = "0", .area = primary, .placed = {460, 290, 1460, 790}},
        {.name = "centre on the other", .style = "0", .tile = "0", .area = other, .placed = {-1140, 62, -140, 562}},
        {.name = "tile on the other, from (0, 0)", .tile = "1", .area = other, .placed = {-2000, -500, -1000, 0}},
        {.name = "stretch on the other", .style = "2", .area = other, .placed = other},
        {.name = "fit on the primary", .style = "6", .area = primary, .placed = {0, 60, 1920, 1020}},
        {.name = "fill on the other", .style = "10", .area = other, .placed = {-1664, -200, 384, 824}},
        {.name = "span over both", .style = "22", .area = both, .placed = {-1280, -360, 1920, 1240}},
        {.name = "fill scaling beyond reason", .style = "10", .area = primary, .picture = {1, 40000}, .placed = {}},
    };
    for (const auto &row : rows) {
        const RECT placed = PlaceWallpaper(WallpaperStyleFrom(row.style, row.tile), row.picture, row.area);
        EXPECT_EQ((std::bit_cast<std::array<LONG, 4>>(row.placed)), (std::bit_cast<std::array<LONG, 4>>(placed))) << row.name;
    }
}

// The test pictures are 8 x 4 pixels in four flat quadrants.
const COLORREF TopLeft = RGB(0x20, 0x40, 0x60), TopRight = RGB(0xA0, 0xC0, 0xE0), BottomRight = RGB(0x40, 0xE0, 0xA0),
               Background = RGB(0x11, 0x22, 0x33);

// The wallpaper and the desktop's background colour, for this process and the savers it starts.
void ChooseWallpaper(const std::string &file, const char *style, const char *tile) {
    HKEY desktop;
    RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
    RegSetValueExA(desktop, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE *>(style), lstrlenA(style) + 1);
    RegSetValueExA(desktop, "TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE *>(tile), lstrlenA(tile) + 1);
    RegCloseKey(desktop);
    const int element = COLOR_DESKTOP;
    SetSysColors(1, &element, &Background);
    const std::wstring path(file.begin(), file.end());
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t *>(path.c_str()), SPIF_UPDATEINIFILE);
}

TEST(DesktopPicture, BackgroundColourAndWallpaperAsWindowsPlacesThem) {
    char themes[MAX_PATH];
    ExpandEnvironmentStringsA("%APPDATA%\\Microsoft\\Windows\\Themes", themes, MAX_PATH);
    CreateDirectoryA(themes, nullptr);
    const std::string shown = themes + std::string("\\TranscodedWallpaper");
    // The picture on a 1024 x 768 monitor at (0, 0), painted from the screen's origin or from (-5, -3); two points
    // and what each must show. PNG needs WIC. Windows 8 and later keep the picture they show as TranscodedWallpaper.
    const struct { const char *name, *file, *style = "0", *tile = "0"; POINT origin, at[2]; COLORREF shows[2]; bool png, shown; }
        rows[] = {
        {.name = "stretch", .file = "quadrants.png", .style = "2", .at = {{0, 0}, {1023, 767}}, .shows = {TopLeft, BottomRight}, .png = true},
        {.name = "centre", .file = "quadrants.bmp", .at = {{508, 382}, {516, 386}}, .shows = {TopLeft, Background}},
        {.name = "tile from (0, 0)", .file = "quadrants.bmp", .tile = "1", .origin = {-5, -3}, .at = {{0, 0}, {1, 0}}, .shows = {TopLeft, TopRight}},
        {.name = "fit", .file = "quadrants.bmp", .style = "6", .at = {{0, 127}, {1023, 639}}, .shows = {Background, BottomRight}},
        {.name = "fill", .file = "quadrants.bmp", .style = "10", .at = {{0, 0}, {600, 0}}, .shows = {TopLeft, TopRight}},
        {.name = "span from (-5, -3)", .file = "quadrants.png", .style = "22", .origin = {-5, -3}, .at = {{0, 0}, {1023, 767}}, .shows = {TopLeft, BottomRight}, .png = true},
        {.name = "a truncated file", .file = "truncated.png", .style = "2", .at = {{0, 0}, {1023, 767}}, .shows = {Background, Background}},
        {.name = "a file moved since", .file = "moved.bmp", .style = "2", .at = {{0, 0}, {1023, 767}}, .shows = {TopLeft, BottomRight}, .shown = true},
    };
    HDC surface = CreateCompatibleDC(nullptr);
    SelectObject(surface, CreateBitmap(1024, 768, 1, 32, nullptr));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CopyFileA(BesideTests(row.shown ? "quadrants.bmp" : "truncated.png").c_str(), shown.c_str(), FALSE);
        ChooseWallpaper(BesideTests(row.file), row.style, row.tile);
        PaintDesktopPicture(surface, row.origin, {1024, 768});
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(row.png && getenv("TENVARA_WITHOUT_WIC") ? Background : row.shows[i],
                      GetPixel(surface, row.at[i].x, row.at[i].y)) << "point " << i;
    }
    DeleteFileA(shown.c_str());
}

// The saver, started the way Windows starts a secure screen saver, over a
// window of the test's own, in a dialog's colour, that covers the X screen.
// Its settings hold one tint (Step 0 never moves it): red and blue kept,
// green taken out.
const COLORREF Tint = RGB(0xFF, 0, 0xFF), WindowColour = GetSysColor(COLOR_3DFACE);

TEST(SecureDesktop, TheSaverShadesTheWallpaperWhereWindowsHidesTheDesktop) {
    CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr, nullptr, 0);
    CreateDesktopA("Screen-saver", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    HDC screen = GetDC(nullptr);
    // Wine tells a saver of this name that it runs on Windows 98.
    ASSERT_TRUE(CopyFileA(SaverPath().c_str(), BesideTests("TENVARA98.scr").c_str(), FALSE));
    RemoveSettingsFile();
    WritePrivateProfileSectionA("", "Speed=1\0Mode=1\0Step=0\0R=1\0G=0\0B=1\0", "TENVARA.ini");
    const struct { const char *name; bool secure, win98 = false; const char *wallpaper = "quadrants.png"; COLORREF shows; }
        rows[] = {
        {.name = "on the secure desktop", .secure = true, .shows = TopLeft & Tint},
        {.name = "on the user's desktop", .secure = false, .shows = WindowColour & Tint},
        {.name = "on Windows 98, which has no other desktop", .secure = true, .win98 = true, .shows = WindowColour & Tint},
        {.name = "with a 30000 x 30000 wallpaper", .secure = true, .wallpaper = "enormous.bmp", .shows = Background & Tint},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ChooseWallpaper(BesideTests(row.wallpaper), "2", "0");
        const SaverProcess saver("/s", row.win98 ? BesideTests("TENVARA98.scr") : SaverPath(), row.secure ? "Screen-saver" : "Default");
        // The first frame comes a tenth of a second after the start; the
        // test's own window keeps painting meanwhile.
        COLORREF seen = CLR_INVALID;
        for (DWORD start = GetTickCount(); seen != row.shows && GetTickCount() - start < WaitMs;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
                DispatchMessageA(&message);
            seen = GetPixel(screen, 100, 100);
        }
        ASSERT_EQ(row.shows, seen) << "no frame showed it";
        PostMessageA(ActiveWindowOf(saver), WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(0u, ExitCode(saver, "a key"));
    }
}
