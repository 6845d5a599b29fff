// The system's accessibility and COM functions, bound when a screen reader
// or an automation tool first asks a window for its accessible object: a
// panel that nobody reads loads none of their libraries.
#pragma once

#include <windows.h>
#include <oleacc.h>

struct OleAccLibrary {
    decltype(&::LresultFromObject) LresultFromObject;
    decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject;
    decltype(&::AccessibleObjectFromWindow) AccessibleObjectFromWindow;
    decltype(&::SysAllocString) SysAllocString;

    // Bound once, with COM started on the calling (GUI) thread; nullptr
    // where the system has no oleacc.dll or any of these is missing.
    static const OleAccLibrary* Get() noexcept;
};

// Ids defined here: linked statically, oleacc's import library would give
// the address of an import thunk, not the id.
extern const IID kIID_IAccessible;
extern const IID kIID_IDispatch;
extern const IID kIID_IOleWindow;
extern const IID kIID_IUnknown;
