// Where a top-level window goes so that it can be seen.
#pragma once

#include <windows.h>

// `window` moved the least distance that brings it inside `area`, or as it
// is when it fits. A window larger than the area keeps its left and top
// edges inside. The size never changes.
RECT PlaceInside(const RECT& window, const RECT& area);
