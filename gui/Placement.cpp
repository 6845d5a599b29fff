#include "Placement.h"

namespace {

// The shift along one axis: the far edge into the area first, then the near
// edge, so that the near edge wins when the window is the larger.
LONG ShiftInside(LONG start, LONG end, LONG areaStart, LONG areaEnd) {
    LONG shift = 0;
    if (end > areaEnd) shift = areaEnd - end;
    if (start + shift < areaStart) shift = areaStart - start;
    return shift;
}

}  // namespace

RECT PlaceInside(const RECT& window, const RECT& area) {
    const LONG dx = ShiftInside(window.left, window.right, area.left, area.right);
    const LONG dy = ShiftInside(window.top, window.bottom, area.top, area.bottom);
    return {window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
}
