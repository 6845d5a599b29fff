// An accessibility client, as a screen reader or an automation tool would
// be one: it finds the panel's window and reads it through Active
// Accessibility from its own process.
//
//   AccessClient list           every window of the panel and the elements of
//                               each window's client object, one line each:
//                               depth, name, value, role, states, location
//   AccessClient events SECONDS the panel's state, name and value changes for
//                               SECONDS, heard out of context: "ready" once
//                               listening, then one line per event
//
// Lines are tab-separated; a missing text is "-". Exit code 1: no panel, or
// it could not be read.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AccessibleIds.h"

namespace {

std::string Narrow(BSTR text) {
    if (!text) return "-";
    char out[1024];
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    SysFreeString(text);
    return n > 1 ? std::string(out, static_cast<size_t>(n - 1)) : "-";
}

std::string Name(IAccessible* a, LONG id) {
    BSTR text = nullptr;
    return SUCCEEDED(a->get_accName(ChildId(id), &text)) ? Narrow(text) : "-";
}

std::string Value(IAccessible* a, LONG id) {
    BSTR text = nullptr;
    return SUCCEEDED(a->get_accValue(ChildId(id), &text)) ? Narrow(text) : "-";
}

std::string Role(IAccessible* a, LONG id) {
    VARIANT role;
    VariantInit(&role);
    if (FAILED(a->get_accRole(ChildId(id), &role)) || role.vt != VT_I4) return "-";
    char text[128];
    return GetRoleTextA(static_cast<DWORD>(role.lVal), text, sizeof text) ? text : "-";
}

// The state bits set, by the system's names, lower case.
std::string States(IAccessible* a, LONG id) {
    VARIANT state;
    VariantInit(&state);
    if (FAILED(a->get_accState(ChildId(id), &state)) || state.vt != VT_I4) return "-";
    std::string names;
    for (DWORD bit = 1; bit && bit <= STATE_SYSTEM_VALID; bit <<= 1) {
        if (!(static_cast<DWORD>(state.lVal) & bit)) continue;
        char text[128];
        if (!GetStateTextA(bit, text, sizeof text)) continue;
        for (char* c = text; *c; ++c) *c = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
        names += (names.empty() ? "" : ",") + std::string(text);
    }
    return names.empty() ? "normal" : names;
}

std::string Location(IAccessible* a, LONG id) {
    long x = 0, y = 0, w = 0, h = 0;
    if (FAILED(a->accLocation(&x, &y, &w, &h, ChildId(id)))) return "-";
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", x, y, w, h);
    return text;
}

void PrintLine(int depth, IAccessible* a, LONG id) {
    printf("%d\t%s\t%s\t%s\t%s\t%s\n", depth, Name(a, id).c_str(), Value(a, id).c_str(), Role(a, id).c_str(),
           States(a, id).c_str(), Location(a, id).c_str());
}

// A window's client object, then its elements; windows among its children
// are listed on their own, after it.
bool ListWindow(HWND window, int depth) {
    IAccessible* a = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIID_IAccessibleClient,
                                          reinterpret_cast<void**>(&a))))
        return false;
    PrintLine(depth, a, CHILDID_SELF);
    long count = 0;
    a->get_accChildCount(&count);
    for (LONG id = 1; id <= count; ++id) {
        IDispatch* object = nullptr;
        const HRESULT hr = a->get_accChild(ChildId(id), &object);
        if (object) object->Release();
        if (hr == S_FALSE || hr == E_INVALIDARG) PrintLine(depth + 1, a, id);
    }
    a->Release();
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!ListWindow(child, depth + 1)) return false;
    return true;
}

HWND Panel() {
    for (int tries = 0; tries < 50; ++tries) {
        if (HWND form = FindWindowA("TarnwickForm", "Tarnwick")) return form;
        Sleep(100);
    }
    return nullptr;
}

// ---- events -------------------------------------------------------------------

const char* EventName(DWORD event) {
    switch (event) {
    case EVENT_OBJECT_STATECHANGE: return "statechange";
    case EVENT_OBJECT_NAMECHANGE: return "namechange";
    case EVENT_OBJECT_VALUECHANGE: return "valuechange";
    }
    return nullptr;
}

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    const char* what = EventName(event);
    if (!what || object != OBJID_CLIENT) return;
    IAccessible* a = nullptr;
    VARIANT id;
    VariantInit(&id);
    std::string name = "-", value = "-", states = "-";
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &a, &id))) {
        const LONG element = id.vt == VT_I4 ? id.lVal : CHILDID_SELF;
        name = Name(a, element);
        value = Value(a, element);
        states = States(a, element);
        a->Release();
    }
    printf("%s\t%s\t%s\t%s\n", what, name.c_str(), value.c_str(), states.c_str());
    fflush(stdout);
}

int Listen(HWND form, double seconds) {
    DWORD process = 0;
    GetWindowThreadProcessId(form, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, Heard, process,
                                         0, WINEVENT_OUTOFCONTEXT);
    if (!hook) {
        fprintf(stderr, "SetWinEventHook failed: %lu\n", GetLastError());
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    UnhookWinEvent(hook);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool list = argc == 2 && strcmp(argv[1], "list") == 0;
    const bool events = argc == 3 && strcmp(argv[1], "events") == 0;
    if (!list && !events) {
        fprintf(stderr, "usage: AccessClient list | AccessClient events SECONDS\n");
        return 2;
    }
    CoInitialize(nullptr);
    const HWND form = Panel();
    if (!form) {
        fprintf(stderr, "no panel window\n");
        return 1;
    }
    const int result = list ? (ListWindow(form, 0) ? 0 : 1) : Listen(form, atof(argv[2]));
    fflush(stdout);
    CoUninitialize();
    return result;
}
