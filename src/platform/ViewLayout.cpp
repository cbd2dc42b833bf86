#include "platform/ViewLayout.h"

namespace quolis {

namespace {

// a * b / c rounded to nearest, in 64 bits (c > 0).
int MulDivRound(long long a, long long b, long long c) {
    return static_cast<int>((a * b + c / 2) / c);
}

// Floor of a * b / c for any sign of a (c > 0).
int MulDivFloor(long long a, long long b, long long c) {
    long long n = a * b;
    long long q = n / c;
    if (n % c != 0 && n < 0) {
        --q;
    }
    return static_cast<int>(q);
}

} // namespace

ViewRect PictureArea(const ViewLayout& l) {
    ViewRect r;
    int areaW = l.windowWidth;
    int areaH = l.windowHeight - l.stripHeight;
    if (areaW <= 0 || areaH <= 0 || l.backWidth <= 0 || l.backHeight <= 0) {
        r.y = l.stripHeight;
        return r;
    }
    if (l.stretch) {
        r = {0, l.stripHeight, areaW, areaH};
        return r;
    }
    // Too wide for the shape: bars left and right; else above and below.
    if (static_cast<long long>(areaW) * l.backHeight >
        static_cast<long long>(areaH) * l.backWidth) {
        r.height = areaH;
        r.width = MulDivRound(areaH, l.backWidth, l.backHeight);
        r.x = (areaW - r.width) / 2;
        r.y = l.stripHeight;
    } else {
        r.width = areaW;
        r.height = MulDivRound(areaW, l.backHeight, l.backWidth);
        r.x = 0;
        r.y = l.stripHeight + (areaH - r.height) / 2;
    }
    return r;
}

void WindowToBackBuffer(const ViewLayout& l, int wx, int wy, int* bx, int* by) {
    ViewRect r = PictureArea(l);
    int w = r.width > 0 ? r.width : 1;
    int h = r.height > 0 ? r.height : 1;
    *bx = MulDivFloor(wx - r.x, l.backWidth, w);
    *by = MulDivFloor(wy - r.y, l.backHeight, h);
}

} // namespace quolis
