// What the controls tell screen readers and UI-automation tools, and how
// they hear of changes (the objects themselves: AccessibleObject.cpp).
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstring>

#include "AccessibleObject.h"
#include "Controls.h"
#include "OleAccLibrary.h"

namespace {
bool SameValue(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }
}  // namespace

// ---- TControl -------------------------------------------------------------------

void TControl::SetAccessibleReader(TAccessibleReader reader) {
    reader_ = reader;
    announced_ = AccessibleReading();
}

TAccessibleReading TControl::AccessibleReading() const {
    return reader_ ? reader_(*this) : TAccessibleReading{nullptr, 0};
}

const std::string& TControl::AccessibleText() const { return AccessibleName.empty() ? caption_ : AccessibleName; }

LONG TControl::AccessibleRole() const { return ROLE_SYSTEM_CLIENT; }

// Raised through NotifyWinEvent, which returns at once while no client
// listens; and only on a change, so a quiet panel raises nothing.
void TControl::ReadingChanged() noexcept {
    if (!reader_) return;
    const TAccessibleReading now = reader_(*this);
    const bool value = !SameValue(now.value, announced_.value), states = now.states != announced_.states;
    announced_ = now;
    if (value) Announce(EVENT_OBJECT_VALUECHANGE);
    if (states) Announce(EVENT_OBJECT_STATECHANGE);
}

// A window's caption is its text, which the system announces itself.
void TControl::AnnounceCaption() noexcept {
    if (dynamic_cast<TWinControl*>(this)) return;
    Announce(AccessibleName.empty() ? EVENT_OBJECT_NAMECHANGE : EVENT_OBJECT_VALUECHANGE);
}

void TControl::Announce(DWORD event) const noexcept {
    if (auto* window = dynamic_cast<const TWinControl*>(this)) {
        if (window->Handle()) NotifyWinEvent(event, window->Handle(), OBJID_CLIENT, CHILDID_SELF);
    } else if (parent_ && parent_->Handle()) {
        NotifyWinEvent(event, parent_->Handle(), OBJID_CLIENT, parent_->AccessibleChildId(*this));
    }
}

// ---- TWinControl ----------------------------------------------------------------

LONG TWinControl::AccessibleChildId(const TControl& child) const noexcept {
    const auto at = std::find(controls_.begin(), controls_.end(), &child);
    return at == controls_.end() ? 0 : static_cast<LONG>(at - controls_.begin() + 1);
}

bool TWinControl::AnswerAccessibleRequest(WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    // The object id comes as a 32-bit value, whatever the size of lParam.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !handle_) return false;
    const OleAccLibrary* lib = OleAccLibrary::Get();
    if (!lib) return false;
    if (!accessible_) accessible_ = TAccessibleObject::Create(*this);
    if (!accessible_) return false;
    const LRESULT answer = lib->LresultFromObject(kIID_IAccessible, wParam, static_cast<IAccessible*>(accessible_));
    if (answer < 0) return false;  // an error HRESULT
    result = answer;
    return true;
}

// Clients may still hold the object: it stays, cut off from the control.
void TWinControl::DisconnectAccessible() noexcept {
    if (!accessible_) return;
    accessible_->Disconnect();
    accessible_->Release();
    accessible_ = nullptr;
}
