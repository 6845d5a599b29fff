#include "WindowIcon.h"

#include "LaterUser32.h"
#include "ScreenScale.h"

namespace {

const char kIconName[] = "MAINICON";

void Replace(HWND window, WPARAM which, int size) {
    HICON icon = nullptr;
    if (size > 0)
        icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), kIconName, IMAGE_ICON, size, size, 0));
    const HICON old = reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
    if (old && old != icon) DestroyIcon(old);
}

}  // namespace

MetricsForScale SystemMetricsForScale() {
    static const auto metrics = User32Function<MetricsForScale>("GetSystemMetricsForDpi");  // 10 1607
    return metrics;
}

IconSizes IconSizesAt(int pixelsPerInch, MetricsForScale metrics) {
    if (metrics) {
        const UINT scale = static_cast<UINT>(pixelsPerInch);
        return {metrics(SM_CXSMICON, scale), metrics(SM_CXICON, scale)};
    }
    const int system = ScreenPixelsPerInch();
    return {ScaleValue(GetSystemMetrics(SM_CXSMICON), pixelsPerInch, system),
            ScaleValue(GetSystemMetrics(SM_CXICON), pixelsPerInch, system)};
}

void SetWindowIcons(HWND window, IconSizes sizes) {
    Replace(window, ICON_SMALL, sizes.small);
    Replace(window, ICON_BIG, sizes.big);
}
