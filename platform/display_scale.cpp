#include "display_scale.h"

#include <windows.h>

namespace {

constexpr int LAYOUT_DPI = 96;

}  // namespace

int ScaleToSystemDpi(int pixels) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : LAYOUT_DPI;
    if (screen) ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi > 0 ? dpi : LAYOUT_DPI, LAYOUT_DPI);
}
