// What an accessibility client needs beyond oleacc.h.
#pragma once

#include <windows.h>
#include <oleacc.h>

// Linked statically, oleacc's import library gives a thunk, not the id.
const IID kIID_IAccessibleClient = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// A child id as the interface takes it (CHILDID_SELF: the object itself).
inline VARIANT ChildId(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}
