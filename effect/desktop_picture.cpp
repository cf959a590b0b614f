// The desktop picture is decoded by the Windows Imaging Component, found
// through COM at run time (Windows XP SP3, Vista and later), or, where that
// is missing, by GDI, which reads plain BMP files. Memory stays bounded
// whatever the file: its size is read before anything is decoded, a picture
// larger than 8K UHD is left out, and the picture is scaled in the decoder
// and handed over in strips, so that no copy larger than a screen's strip is
// made here (but for a tile, which is the picture at its own size).
#include "effect/desktop_picture.h"

#include <wincodec.h>
#include <stdint.h>

#include "effect/wallpaper_placement.h"
#include "host/platform_seams.h"

namespace {

// WIC's first factory: Windows 8's newer one is missing from Windows 7.
const CLSID ImagingFactoryClass = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const GUID Bgr32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};

// 7680 x 4320 fits; 30000 x 30000 does not. A 32-bit process cannot hold a
// decode much larger than this next to the saver's own three surfaces.
const uint64_t LargestPicture = 1u << 25;
const int StripRows = 64;

struct Picture {
    IWICImagingFactory *Factory;
    IWICBitmapSource *Pixels; // 32-bit BGR through WIC, or null
    HBITMAP Bitmap;           // as GDI loaded it where WIC is missing
    SIZE Size;
};

struct Canvas {
    HDC Target;
    POINT Origin;
    RECT Bounds; // of the target, in screen coordinates
    HDC StripDC; // a strip of StripRows rows as wide as the target, for WIC
    HBITMAP Strip;
    void *StripBits;
};

// 32-bit pixels, top row first: the layout WIC's 32bppBGR pixels are copied in.
BITMAPINFO TopDownFormat(LONG width, LONG height)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    return format;
}

bool Acceptable(UINT width, UINT height)
{
    return width > 0 && height > 0 && uint64_t(width) * height <= LargestPicture;
}

bool OpenWithWic(Picture &picture, const wchar_t *path)
{
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICFormatConverter *converter = nullptr;
    UINT width = 0, height = 0;
    bool opened = SUCCEEDED(picture.Factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                                      WICDecodeMetadataCacheOnDemand, &decoder)) &&
                  SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
                  Acceptable(width, height) && SUCCEEDED(picture.Factory->CreateFormatConverter(&converter)) &&
                  SUCCEEDED(converter->Initialize(frame, Bgr32, WICBitmapDitherTypeNone, nullptr, 0,
                                                  WICBitmapPaletteTypeCustom));
    // The converter holds on to what it reads from.
    if (frame != nullptr)
        frame->Release();
    if (decoder != nullptr)
        decoder->Release();
    if (!opened) {
        if (converter != nullptr)
            converter->Release();
        return false;
    }
    picture.Pixels = converter;
    picture.Size = {LONG(width), LONG(height)};
    return true;
}

// GDI would load any BMP whole, so its size is read from the file first.
bool OpenWithGdi(Picture &picture, const wchar_t *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
#pragma pack(push, 2)
    struct {
        BITMAPFILEHEADER File;
        BITMAPINFOHEADER Info;
    } header = {};
#pragma pack(pop)
    DWORD read = 0;
    const bool readable = ReadFile(file, &header, sizeof header, &read, nullptr) && read == sizeof header;
    CloseHandle(file);
    // A negative height is a top-down picture of that many rows.
    const UINT height = header.Info.biHeight < 0 ? 0u - UINT(header.Info.biHeight) : UINT(header.Info.biHeight);
    if (!readable || header.File.bfType != 0x4D42 /* "BM" */ || header.Info.biSize < sizeof header.Info ||
        header.Info.biWidth <= 0 || !Acceptable(UINT(header.Info.biWidth), height))
        return false;
    picture.Bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    picture.Size = {header.Info.biWidth, LONG(height)};
    return picture.Bitmap != nullptr;
}

bool OpenPicture(Picture &picture, const wchar_t *path)
{
    return picture.Factory != nullptr ? OpenWithWic(picture, path) : OpenWithGdi(picture, path);
}

// Only what falls inside the clip (a monitor, or all of them) and the target
// is decoded, a strip at a time, scaled by the decoder to the placed size.
bool DrawWithWic(Canvas &canvas, Picture &picture, RECT placed, RECT clip)
{
    RECT visible;
    if (!IntersectRect(&visible, &placed, &clip) || !IntersectRect(&visible, &visible, &canvas.Bounds))
        return true;
    const int width = placed.right - placed.left, height = placed.bottom - placed.top;
    IWICBitmapSource *source = picture.Pixels;
    IWICBitmapScaler *scaler = nullptr;
    if (width != picture.Size.cx || height != picture.Size.cy) {
        if (FAILED(picture.Factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(picture.Pixels, width, height, WICBitmapInterpolationModeFant))) {
            if (scaler != nullptr)
                scaler->Release();
            return false;
        }
        source = scaler;
    }
    const UINT stride = UINT(canvas.Bounds.right - canvas.Bounds.left) * 4;
    bool drawn = true;
    for (int top = visible.top; drawn && top < visible.bottom; top += StripRows) {
        const WICRect strip = {visible.left - placed.left, top - placed.top, visible.right - visible.left,
                               visible.bottom - top < StripRows ? visible.bottom - top : StripRows};
        drawn = SUCCEEDED(source->CopyPixels(&strip, stride, stride * UINT(strip.Height),
                                             static_cast<BYTE *>(canvas.StripBits)));
        if (drawn)
            BitBlt(canvas.Target, visible.left - canvas.Origin.x, top - canvas.Origin.y, strip.Width, strip.Height,
                   canvas.StripDC, 0, 0, SRCCOPY);
    }
    if (scaler != nullptr)
        scaler->Release();
    return drawn;
}

void DrawWithGdi(Canvas &canvas, Picture &picture, RECT placed, RECT clip)
{
    HDC source = CreateCompatibleDC(canvas.Target);
    HGDIOBJ previous = SelectObject(source, picture.Bitmap);
    IntersectClipRect(canvas.Target, clip.left - canvas.Origin.x, clip.top - canvas.Origin.y,
                      clip.right - canvas.Origin.x, clip.bottom - canvas.Origin.y);
    // HALFTONE averages instead of dropping pixels, and keeps flat areas exact.
    SetStretchBltMode(canvas.Target, HALFTONE);
    SetBrushOrgEx(canvas.Target, 0, 0, nullptr);
    StretchBlt(canvas.Target, placed.left - canvas.Origin.x, placed.top - canvas.Origin.y, placed.right - placed.left,
               placed.bottom - placed.top, source, 0, 0, picture.Size.cx, picture.Size.cy, SRCCOPY);
    SelectClipRgn(canvas.Target, nullptr);
    SelectObject(source, previous);
    DeleteDC(source);
}

// A tile is the whole picture at its own size, repeated by a pattern brush.
bool DrawTiles(Canvas &canvas, Picture &picture)
{
    HBITMAP tile = picture.Bitmap;
    if (picture.Pixels != nullptr) {
        const BITMAPINFO format = TopDownFormat(picture.Size.cx, picture.Size.cy);
        void *bits = nullptr;
        tile = CreateDIBSection(canvas.Target, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        const UINT stride = UINT(picture.Size.cx) * 4;
        if (tile == nullptr || FAILED(picture.Pixels->CopyPixels(nullptr, stride, stride * UINT(picture.Size.cy),
                                                                 static_cast<BYTE *>(bits)))) {
            DeleteObject(tile);
            return false;
        }
    }
    HBRUSH pattern = CreatePatternBrush(tile);
    const RECT first = PlaceWallpaper(WallpaperTile, picture.Size, canvas.Bounds);
    SetBrushOrgEx(canvas.Target, first.left - canvas.Origin.x, first.top - canvas.Origin.y, nullptr);
    RECT whole = {0, 0, canvas.Bounds.right - canvas.Bounds.left, canvas.Bounds.bottom - canvas.Bounds.top};
    const bool drawn = pattern != nullptr && FillRect(canvas.Target, &whole, pattern);
    DeleteObject(pattern);
    if (tile != picture.Bitmap)
        DeleteObject(tile);
    return drawn;
}

struct Drawing {
    Canvas *Surface;
    Picture *Image;
    WallpaperStyle Style;
    bool Drawn;
};

bool DrawOn(Drawing &drawing, RECT area)
{
    const RECT placed = PlaceWallpaper(drawing.Style, drawing.Image->Size, area);
    if (placed.right == placed.left)
        return false; // no sensible size for the picture there
    if (drawing.Image->Pixels != nullptr)
        return DrawWithWic(*drawing.Surface, *drawing.Image, placed, area);
    DrawWithGdi(*drawing.Surface, *drawing.Image, placed, area);
    return true;
}

BOOL CALLBACK DrawOnMonitor(HMONITOR, HDC, RECT *monitor, LPARAM context)
{
    Drawing &drawing = *reinterpret_cast<Drawing *>(context);
    drawing.Drawn = drawing.Drawn && DrawOn(drawing, *monitor);
    return drawing.Drawn;
}

// Tile and span are one pattern across all monitors; the other positions
// place the picture on each monitor of its own.
bool DrawWallpaper(Canvas &canvas, Picture &picture, WallpaperStyle style)
{
    if (style == WallpaperTile)
        return DrawTiles(canvas, picture);
    Drawing drawing = {&canvas, &picture, style, true};
    typedef BOOL(WINAPI * EnumMonitorsCall)(HDC, const RECT *, MONITORENUMPROC, LPARAM);
    const EnumMonitorsCall enumMonitors = FindSystemCall<EnumMonitorsCall>(GetModuleHandleA("USER32.DLL"), "EnumDisplayMonitors");
    if (style == WallpaperSpan || enumMonitors == nullptr)
        return DrawOn(drawing, canvas.Bounds);
    enumMonitors(nullptr, nullptr, DrawOnMonitor, reinterpret_cast<LPARAM>(&drawing));
    return drawing.Drawn;
}

WallpaperStyle ReadWallpaperStyle()
{
    char style[16] = {}, tile[16] = {};
    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) == ERROR_SUCCESS) {
        // A value too long for the buffer leaves it undefined: it counts as none.
        DWORD size = sizeof style - 1;
        if (RegQueryValueExA(desktop, "WallpaperStyle", nullptr, nullptr, reinterpret_cast<BYTE *>(style), &size))
            style[0] = '\0';
        size = sizeof tile - 1;
        if (RegQueryValueExA(desktop, "TileWallpaper", nullptr, nullptr, reinterpret_cast<BYTE *>(tile), &size))
            tile[0] = '\0';
        RegCloseKey(desktop);
    }
    return WallpaperStyleFrom(style, tile);
}

void FillBackground(Canvas &canvas)
{
    HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_DESKTOP));
    RECT whole = {0, 0, canvas.Bounds.right - canvas.Bounds.left, canvas.Bounds.bottom - canvas.Bounds.top};
    FillRect(canvas.Target, &whole, background);
    DeleteObject(background);
}

// The file Windows 8 and later actually show, kept when the chosen one moves
// or belongs to a slideshow.
bool OpenShownPicture(Picture &picture, const wchar_t *chosen)
{
    if (OpenPicture(picture, chosen))
        return true;
    wchar_t shown[MAX_PATH + 64];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", shown, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    lstrcatW(shown, L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper");
    return OpenPicture(picture, shown);
}

bool StartStrips(Canvas &canvas)
{
    const BITMAPINFO format = TopDownFormat(canvas.Bounds.right - canvas.Bounds.left, StripRows);
    canvas.Strip = CreateDIBSection(canvas.Target, &format, DIB_RGB_COLORS, &canvas.StripBits, nullptr, 0);
    canvas.StripDC = CreateCompatibleDC(canvas.Target);
    return canvas.Strip != nullptr && canvas.StripDC != nullptr && SelectObject(canvas.StripDC, canvas.Strip) != nullptr;
}

} // namespace

bool DisplayShowsUserDesktop()
{
    typedef HDESK(WINAPI * ThreadDesktopCall)(DWORD);
    typedef BOOL(WINAPI * ObjectNameCall)(HANDLE, int, void *, DWORD, DWORD *);
    HMODULE user = GetModuleHandleA("USER32.DLL");
    const ThreadDesktopCall threadDesktop = FindSystemCall<ThreadDesktopCall>(user, "GetThreadDesktop");
    const ObjectNameCall objectName = FindSystemCall<ObjectNameCall>(user, "GetUserObjectInformationA");
    if (threadDesktop == nullptr || objectName == nullptr)
        return true; // a system without desktops shows its only one
    // A name that does not fit is not "Default"; one that cannot be read may
    // be anything, and only the user's own desktop may be shown.
    char name[16] = {};
    DWORD needed = 0;
    return objectName(threadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, &needed) &&
           lstrcmpiA(name, "Default") == 0;
}

void PaintDesktopPicture(HDC target, POINT origin, SIZE size)
{
    Canvas canvas = {target, origin, {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy}, nullptr, nullptr, nullptr};
    FillBackground(canvas);
    wchar_t chosen[MAX_PATH] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, chosen, 0) || chosen[0] == L'\0')
        return; // no wallpaper: the background colour is the desktop

    typedef HRESULT(WINAPI * InitializeCall)(void *, DWORD);
    typedef HRESULT(WINAPI * CreateCall)(REFCLSID, IUnknown *, DWORD, REFIID, void **);
    typedef void(WINAPI * UninitializeCall)(void);
    HMODULE com = LoadLibraryA("OLE32.DLL");
    const InitializeCall initialize = FindSystemCall<InitializeCall>(com, "CoInitializeEx");
    const CreateCall create = FindSystemCall<CreateCall>(com, "CoCreateInstance");
    const UninitializeCall uninitialize = FindSystemCall<UninitializeCall>(com, "CoUninitialize");
    const bool started = initialize != nullptr && create != nullptr && uninitialize != nullptr &&
                         SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    Picture picture = {};
    if (started)
        create(ImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
               reinterpret_cast<void **>(&picture.Factory));

    if (OpenShownPicture(picture, chosen)) {
        // Tiles are drawn whole by a pattern brush; only WIC's scaled copies come in strips.
        const WallpaperStyle style = ReadWallpaperStyle();
        const bool strips = picture.Pixels != nullptr && style != WallpaperTile;
        if ((strips && !StartStrips(canvas)) || !DrawWallpaper(canvas, picture, style))
            FillBackground(canvas); // nothing half drawn: a picture that fails shows as none
        DeleteDC(canvas.StripDC);
        DeleteObject(canvas.Strip);
    }
    if (picture.Pixels != nullptr)
        picture.Pixels->Release();
    if (picture.Factory != nullptr)
        picture.Factory->Release();
    DeleteObject(picture.Bitmap);
    if (started)
        uninitialize();
}
