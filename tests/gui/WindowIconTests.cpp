// The program's icon on a form: every size Windows asks for is in the icon,
// a form takes the sizes its scale asks for (against a stand-in for
// Windows 10's metrics per scale, and without it as Windows before), and
// takes them again when moved to a monitor of another scale.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>

#include "ProbeForm.h"
#include "ScaleChange.h"
#include "WindowIcon.h"

namespace {

// The images of the icon resource: (size, bits per pixel).
std::set<std::pair<int, int>> IconImages() {
#pragma pack(push, 2)
    struct Entry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const HMODULE program = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(program, "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    std::set<std::pair<int, int>> images;
    if (!found) return images;
    const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(program, found)));
    const auto* entries = reinterpret_cast<const Entry*>(directory + 3);
    for (WORD i = 0; i < directory[2]; ++i)
        images.insert({entries[i].width ? entries[i].width : 256, entries[i].bitCount});
    return images;
}

// Windows' own sizes at a scale: 16 and 32 at 96 pixels per inch, scaled.
UINT askedScale = 0;
int WINAPI WindowsMetrics(int index, UINT pixelsPerInch) {
    askedScale = pixelsPerInch;
    const int at96 = index == SM_CXSMICON ? 16 : index == SM_CXICON ? 32 : 0;
    return MulDiv(at96, static_cast<int>(pixelsPerInch), 96);
}

// The width of the window's icon, and whether it has shades of
// transparency (a 32-bit image, not one of the 16-colour ones).
std::pair<int, bool> ShownIcon(HWND window, WPARAM which) {
    const auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {0, false};
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    const int n = bitmap.bmWidth;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), n, -n, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::unique_ptr<DWORD[]> pixels(new DWORD[n * n]);
    HDC screen = GetDC(nullptr);
    const bool read = GetDIBits(screen, info.hbmColor, 0, n, pixels.get(), &format, DIB_RGB_COLORS) == n;
    ReleaseDC(nullptr, screen);
    bool shaded = false;
    for (int i = 0; read && i < n * n; ++i) shaded = shaded || (pixels[i] >> 24 > 0 && pixels[i] >> 24 < 255);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {n, shaded};
}

}  // namespace

TEST(WindowIcon, TheIconHasEverySizeInFullColourAndXpsSixteenColourOnes) {
    const std::set<std::pair<int, int>> expected = {{16, 32}, {20, 32}, {24, 32}, {32, 32}, {40, 32}, {48, 32},
                                                    {64, 32}, {256, 32}, {16, 4},  {32, 4}};
    EXPECT_EQ(IconImages(), expected);
}

TEST(WindowIcon, TheSizesAreThoseOfTheScaleWhereWindowsSaysThemAndScaledBefore) {
    const struct {
        int pixelsPerInch, small, big;
    } scales[] = {{96, 16, 32}, {120, 20, 40}, {144, 24, 48}, {168, 28, 56}, {192, 32, 64}};
    for (const auto& s : scales) {
        SCOPED_TRACE(s.pixelsPerInch);
        askedScale = 0;
        const IconSizes sizes = IconSizesAt(s.pixelsPerInch, WindowsMetrics);
        EXPECT_EQ(askedScale, static_cast<UINT>(s.pixelsPerInch));
        EXPECT_EQ(sizes.small, s.small);
        EXPECT_EQ(sizes.big, s.big);
        // Before Windows 10 1607: the system's sizes (at its scale, 96 here), scaled.
        const IconSizes before = IconSizesAt(s.pixelsPerInch, nullptr);
        EXPECT_EQ(before.small, ScaleValue(GetSystemMetrics(SM_CXSMICON), s.pixelsPerInch));
        EXPECT_EQ(before.big, ScaleValue(GetSystemMetrics(SM_CXICON), s.pixelsPerInch));
    }
}

// Each size a scale asks for is one of the icon's own images, not another stretched.
TEST(WindowIcon, AWindowShowsTheIconsImageOfEachSizeItAsksFor) {
    TProbeForm form(Application, "PROBE");
    for (int pixelsPerInch : {96, 120, 144, 192}) {
        SCOPED_TRACE(pixelsPerInch);
        const IconSizes sizes = IconSizesAt(pixelsPerInch, WindowsMetrics);
        SetWindowIcons(form.Handle(), sizes);
        EXPECT_EQ(ShownIcon(form.Handle(), ICON_SMALL), std::make_pair(sizes.small, true));
        EXPECT_EQ(ShownIcon(form.Handle(), ICON_BIG), std::make_pair(sizes.big, true));
    }
    SetWindowIcons(form.Handle(), {0, 0});
    EXPECT_EQ(SendMessageA(form.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessageA(form.Handle(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST(WindowIcon, AFormTakesTheSizesOfItsScaleAndOfEachNewOne) {
    TProbeForm form(Application, "PROBE", 96);
    EXPECT_EQ(ShownIcon(form.Handle(), ICON_SMALL).first, IconSizesAt(96).small);
    EXPECT_EQ(ShownIcon(form.Handle(), ICON_BIG).first, IconSizesAt(96).big);
    for (int pixelsPerInch : {144, 192, 120}) {
        SCOPED_TRACE(pixelsPerInch);
        SendScaleChange(form, pixelsPerInch);
        EXPECT_EQ(ShownIcon(form.Handle(), ICON_SMALL).first, IconSizesAt(pixelsPerInch).small);
        EXPECT_EQ(ShownIcon(form.Handle(), ICON_BIG).first, IconSizesAt(pixelsPerInch).big);
    }
}
