// The accessible object of a windowed control's client area, as screen
// readers and UI-automation tools see it (Active Accessibility, which
// Windows 7 and later also serve to UI Automation clients).
//
// The object itself is the system's for the window (a button stays a
// button), with the control's own name, description, value and states
// where it has them. Its children are the control's children in the order
// they were created: graphic controls (labels, lamps, pictures) as simple
// elements, numbered from 1, and child windows as their own objects.
//
// Clients in other processes may keep it after the window has gone: from
// then on every call answers RPC_E_DISCONNECTED. Nothing thrown leaves a
// method: each is a call from the system's frames.
#pragma once

#include <windows.h>
#include <oleacc.h>

class TControl;
class TWinControl;

class TAccessibleObject final : public IAccessible, public IOleWindow {
public:
    // The object with one reference, or nullptr without memory.
    static TAccessibleObject* Create(TWinControl& control) noexcept;
    // The control's window is going: cut the object off from it.
    void Disconnect() noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: clients call the interface's methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
    // IOleWindow: the window the object belongs to.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    explicit TAccessibleObject(TWinControl& control);
    ~TAccessibleObject();

    // Which of the object's parts a child id names.
    struct Part {
        HRESULT status;                 // S_OK, or E_INVALIDARG for no part
        TControl* graphic = nullptr;    // a graphic child, or
        TWinControl* window = nullptr;  // a child window, or neither: the object itself
    };
    Part Resolve(const VARIANT& child) const;
    // The system's object for this window, made on first use.
    IAccessible* System();
    // A child's own object (OBJID_WINDOW: the one its parent shows).
    HRESULT ChildObject(TWinControl& child, LONG objectId, REFIID iid, void** object) const;
    // What a child id in a VARIANT stands for: an element or a window's object.
    HRESULT PutChild(TControl& child, VARIANT* out) const;

    template <class Fn>
    HRESULT Answer(Fn&& fn) noexcept;
    // The method asked of the system's object or a child window's own.
    template <class Fn>
    HRESULT Delegate(const Part& part, Fn&& fn);
    // Asked of the window's object only; an element answers forElement.
    template <class Fn>
    HRESULT WindowOnly(const VARIANT& child, HRESULT forElement, Fn&& fn) noexcept;

    LONG refs_ = 1;
    TWinControl* control_;
    HWND window_;
    IAccessible* system_ = nullptr;
};
