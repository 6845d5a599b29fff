#include "AccessibleObject.h"

#include <new>
#include <string>

#include "Controls.h"
#include "OleAccLibrary.h"

namespace {

const OleAccLibrary& Lib() { return *OleAccLibrary::Get(); }

// A text of the program's (the ANSI code page) as a BSTR; S_FALSE for none.
HRESULT PutText(const std::string& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    *out = Lib().SysAllocString(wide.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

void PutId(LONG id, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = id;
}

VARIANT Self() {
    VARIANT self;
    PutId(CHILDID_SELF, &self);
    return self;
}

// A graphic child's rectangle on the screen.
RECT ScreenRect(const TControl& control, HWND parent) {
    RECT r = control.BoundsRect();
    MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TAccessibleObject* TAccessibleObject::Create(TWinControl& control) noexcept {
    return new (std::nothrow) TAccessibleObject(control);
}

TAccessibleObject::TAccessibleObject(TWinControl& control) : control_(&control), window_(control.Handle()) {}

TAccessibleObject::~TAccessibleObject() { Disconnect(); }

void TAccessibleObject::Disconnect() noexcept {
    control_ = nullptr;
    if (system_) system_->Release();
    system_ = nullptr;
}

template <class Fn>
HRESULT TAccessibleObject::Answer(Fn&& fn) noexcept {
    if (!control_) return RPC_E_DISCONNECTED;
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

IAccessible* TAccessibleObject::System() {
    if (!system_) {
        void* object = nullptr;
        if (FAILED(Lib().CreateStdAccessibleObject(window_, OBJID_CLIENT, kIID_IAccessible, &object))) return nullptr;
        system_ = static_cast<IAccessible*>(object);
    }
    return system_;
}

HRESULT TAccessibleObject::ChildObject(TWinControl& child, LONG objectId, REFIID iid, void** object) const {
    *object = nullptr;
    return child.Handle() ? Lib().AccessibleObjectFromWindow(child.Handle(), objectId, iid, object) : E_FAIL;
}

template <class Fn>
HRESULT TAccessibleObject::Delegate(const Part& part, Fn&& fn) {
    if (!part.window) {
        IAccessible* system = System();
        return system ? fn(system) : E_FAIL;
    }
    void* object = nullptr;
    const HRESULT found = ChildObject(*part.window, OBJID_CLIENT, kIID_IAccessible, &object);
    if (FAILED(found)) return found;
    auto* child = static_cast<IAccessible*>(object);
    const HRESULT result = fn(child);
    child->Release();
    return result;
}

TAccessibleObject::Part TAccessibleObject::Resolve(const VARIANT& child) const {
    if (child.vt != VT_I4) return {E_INVALIDARG};
    if (child.lVal == CHILDID_SELF) return {S_OK};
    const auto& controls = control_->Controls();
    if (child.lVal < 1 || static_cast<size_t>(child.lVal) > controls.size()) return {E_INVALIDARG};
    TControl* c = controls[static_cast<size_t>(child.lVal - 1)];
    auto* window = dynamic_cast<TWinControl*>(c);
    return {S_OK, window ? nullptr : c, window};
}

HRESULT TAccessibleObject::PutChild(TControl& child, VARIANT* out) const {
    auto* window = dynamic_cast<TWinControl*>(&child);
    if (!window) {
        PutId(control_->AccessibleChildId(child), out);
        return S_OK;
    }
    void* object = nullptr;
    const HRESULT found = ChildObject(*window, OBJID_WINDOW, kIID_IDispatch, &object);
    if (FAILED(found)) return found;
    out->vt = VT_DISPATCH;
    out->pdispVal = static_cast<IDispatch*>(object);
    return S_OK;
}

// ---- IUnknown, IDispatch, IOleWindow -------------------------------------------------

HRESULT TAccessibleObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, kIID_IUnknown) || IsEqualIID(iid, kIID_IDispatch) || IsEqualIID(iid, kIID_IAccessible))
        *object = static_cast<IAccessible*>(this);
    else if (IsEqualIID(iid, kIID_IOleWindow))
        *object = static_cast<IOleWindow*>(this);
    else
        *object = nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TAccessibleObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG TAccessibleObject::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT TAccessibleObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TAccessibleObject::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    return Answer([&] {
        *window = window_;
        return S_OK;
    });
}

// ---- the tree ------------------------------------------------------------------------

HRESULT TAccessibleObject::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return Answer([&] { return Delegate({S_OK}, [&](IAccessible* a) { return a->get_accParent(parent); }); });
}

HRESULT TAccessibleObject::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return Answer([&] {
        *count = static_cast<long>(control_->Controls().size());
        return S_OK;
    });
}

HRESULT TAccessibleObject::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status) || (!part.graphic && !part.window)) return E_INVALIDARG;
        // A graphic child is an element of this object, with no object of its own.
        if (part.graphic) return S_FALSE;
        void* found = nullptr;
        const HRESULT result = ChildObject(*part.window, OBJID_WINDOW, kIID_IDispatch, &found);
        *object = static_cast<IDispatch*>(found);
        return result;
    });
}

HRESULT TAccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    return Answer([&] {
        const Part part = Resolve(start);
        if (FAILED(part.status)) return part.status;
        const auto& controls = control_->Controls();
        const long count = static_cast<long>(controls.size());
        long to = 0;  // 1-based child, 0 for none
        if (!part.graphic && !part.window) {
            if (direction == NAVDIR_FIRSTCHILD) to = count ? 1 : 0;
            else if (direction == NAVDIR_LASTCHILD) to = count;
            else return Delegate(part, [&](IAccessible* a) { return a->accNavigate(direction, Self(), end); });
        } else {
            const long from = start.lVal;
            if (direction == NAVDIR_NEXT) to = from < count ? from + 1 : 0;
            else if (direction == NAVDIR_PREVIOUS) to = from - 1;
            else return S_FALSE;
        }
        return to > 0 ? PutChild(*controls[static_cast<size_t>(to - 1)], end) : S_FALSE;
    });
}

HRESULT TAccessibleObject::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    child->vt = VT_EMPTY;
    return Answer([&] {
        POINT p{x, y};
        ScreenToClient(window_, &p);
        const auto& controls = control_->Controls();
        // The last created lies on top.
        for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
            auto* window = dynamic_cast<TWinControl*>(*it);
            const RECT r = (*it)->BoundsRect();
            if (PtInRect(&r, p) && (!window || IsWindowVisible(window->Handle()))) return PutChild(**it, child);
        }
        RECT client;
        GetClientRect(window_, &client);
        if (!PtInRect(&client, p)) return S_FALSE;
        PutId(CHILDID_SELF, child);
        return S_OK;
    });
}

// ---- what each part says -------------------------------------------------------------

HRESULT TAccessibleObject::get_accName(VARIANT child, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) return PutText(part.graphic->AccessibleText(), name);
        if (!part.window && !control_->AccessibleName.empty()) return PutText(control_->AccessibleName, name);
        return Delegate(part, [&](IAccessible* a) { return a->get_accName(Self(), name); });
    });
}

HRESULT TAccessibleObject::get_accValue(VARIANT child, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) {
            const char* shown = part.graphic->AccessibleReading().value;
            if (shown) return PutText(shown, value);
            // Named for what it shows, a label's caption is its value.
            if (!part.graphic->AccessibleName.empty()) return PutText(part.graphic->Caption(), value);
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!part.window) {
            if (const char* shown = control_->AccessibleReading().value) return PutText(shown, value);
        }
        return Delegate(part, [&](IAccessible* a) { return a->get_accValue(Self(), value); });
    });
}

HRESULT TAccessibleObject::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) return PutText(part.graphic->AccessibleDescription, description);
        if (!part.window && !control_->AccessibleDescription.empty())
            return PutText(control_->AccessibleDescription, description);
        return Delegate(part, [&](IAccessible* a) { return a->get_accDescription(Self(), description); });
    });
}

HRESULT TAccessibleObject::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) {
            PutId(part.graphic->AccessibleRole(), role);
            return S_OK;
        }
        return Delegate(part, [&](IAccessible* a) { return a->get_accRole(Self(), role); });
    });
}

HRESULT TAccessibleObject::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) {
            const DWORD unavailable = part.graphic->Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE;
            PutId(static_cast<LONG>(STATE_SYSTEM_READONLY | unavailable | part.graphic->AccessibleReading().states),
                  state);
            return S_OK;
        }
        const HRESULT result = Delegate(part, [&](IAccessible* a) { return a->get_accState(Self(), state); });
        if (SUCCEEDED(result) && !part.window && state->vt == VT_I4)
            state->lVal |= static_cast<LONG>(control_->AccessibleReading().states);
        return result;
    });
}

HRESULT TAccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        if (part.graphic) {
            const RECT r = ScreenRect(*part.graphic, window_);
            *left = r.left;
            *top = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        }
        return Delegate(part, [&](IAccessible* a) { return a->accLocation(left, top, width, height, Self()); });
    });
}

// ---- the rest is the system's for the window, and nothing for an element -----------------

template <class Fn>
HRESULT TAccessibleObject::WindowOnly(const VARIANT& child, HRESULT forElement, Fn&& fn) noexcept {
    return Answer([&] {
        const Part part = Resolve(child);
        if (FAILED(part.status)) return part.status;
        return part.graphic ? forElement : Delegate(part, fn);
    });
}

HRESULT TAccessibleObject::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    return WindowOnly(child, S_FALSE, [&](IAccessible* a) { return a->get_accHelp(Self(), help); });
}

HRESULT TAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return WindowOnly(child, S_FALSE, [&](IAccessible* a) { return a->get_accHelpTopic(file, Self(), topic); });
}

HRESULT TAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    return WindowOnly(child, S_FALSE, [&](IAccessible* a) { return a->get_accKeyboardShortcut(Self(), shortcut); });
}

HRESULT TAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    return WindowOnly(child, S_FALSE, [&](IAccessible* a) { return a->get_accDefaultAction(Self(), action); });
}

HRESULT TAccessibleObject::accDoDefaultAction(VARIANT child) {
    return WindowOnly(child, DISP_E_MEMBERNOTFOUND, [&](IAccessible* a) { return a->accDoDefaultAction(Self()); });
}

HRESULT TAccessibleObject::accSelect(long flags, VARIANT child) {
    return WindowOnly(child, DISP_E_MEMBERNOTFOUND, [&](IAccessible* a) { return a->accSelect(flags, Self()); });
}

HRESULT TAccessibleObject::get_accFocus(VARIANT* child) {
    if (!child) return E_POINTER;
    child->vt = VT_EMPTY;
    return Answer([&] { return Delegate({S_OK}, [&](IAccessible* a) { return a->get_accFocus(child); }); });
}

HRESULT TAccessibleObject::get_accSelection(VARIANT* children) {
    if (!children) return E_POINTER;
    children->vt = VT_EMPTY;
    return Answer([&] { return Delegate({S_OK}, [&](IAccessible* a) { return a->get_accSelection(children); }); });
}
