#include "CodeIntegrityLog.h"

#include <windows.h>

#include <string>
#include <vector>

#include "SystemLibrary.h"

namespace {

// The event log calls, from wevtapi.dll (Vista), looked up: XP has neither.
using EventHandle = HANDLE;
using EvtQueryEntry = EventHandle(WINAPI*)(EventHandle session, LPCWSTR path, LPCWSTR query, DWORD flags);
using EvtNextEntry = BOOL(WINAPI*)(EventHandle results, DWORD size, EventHandle* events, DWORD timeout, DWORD flags,
                                   DWORD* returned);
using EvtRenderEntry = BOOL(WINAPI*)(EventHandle context, EventHandle event, DWORD flags, DWORD size, PVOID buffer,
                                     DWORD* used, DWORD* properties);
using EvtCloseEntry = BOOL(WINAPI*)(EventHandle handle);

constexpr DWORD kQueryChannelPath = 0x1;
constexpr DWORD kQueryReverseDirection = 0x200;  // newest first
constexpr DWORD kRenderEventXml = 1;
constexpr DWORD kWaitMs = 2000;
// Enough for any boot's refusals; a log flooded by others is not read to its end.
constexpr int kMostEvents = 512;

// Lower case in ASCII, as the file names and the event's markup are written
// (the C runtime's wide-character calls would add imports).
std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// The number in the event's <EventID ...>NNNN</EventID>.
DWORD EventIdOf(const std::wstring& xml) {
    const size_t element = xml.find(L"<eventid");
    size_t at = element == std::wstring::npos ? element : xml.find(L'>', element);
    DWORD id = 0;
    if (at == std::wstring::npos) return 0;
    while (++at < xml.size() && xml[at] >= L'0' && xml[at] <= L'9') id = id * 10 + static_cast<DWORD>(xml[at] - L'0');
    return id;
}

class EventLog {
public:
    EventLog() : module_(LoadSystemLibrary(L"wevtapi.dll")) {
        if (!module_) return;
        query_ = Entry<EvtQueryEntry>("EvtQuery");
        next_ = Entry<EvtNextEntry>("EvtNext");
        render_ = Entry<EvtRenderEntry>("EvtRender");
        close_ = Entry<EvtCloseEntry>("EvtClose");
    }
    ~EventLog() {
        if (module_) FreeLibrary(module_);
    }
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    bool usable() const { return query_ && next_ && render_ && close_; }

    Known<DWORD> Newest(const std::wstring& file) const {
        using TickCount64Entry = ULONGLONG(WINAPI*)();
        const auto tickCount64 = Entry<TickCount64Entry>(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64");
        const unsigned long long sinceBoot = tickCount64 ? tickCount64() : GetTickCount();
        const std::string ms = std::to_string(sinceBoot);
        const std::wstring filter = L"*[System[(EventID=3033 or EventID=3077) and TimeCreated[timediff(@SystemTime) <= " +
                                    std::wstring(ms.begin(), ms.end()) + L"]]]";
        EventHandle results =
            query_(nullptr, L"Microsoft-Windows-CodeIntegrity/Operational", filter.c_str(), kQueryChannelPath | kQueryReverseDirection);
        if (!results) return Unknown<DWORD>(GetLastError());
        const std::wstring needle = Lower(file);
        Known<DWORD> found = KnownAs<DWORD>(0);
        for (int read = 0; read < kMostEvents && found.value == 0;) {
            EventHandle events[16];
            DWORD returned = 0;
            if (!next_(results, 16, events, kWaitMs, 0, &returned)) {
                const DWORD error = GetLastError();
                if (error != ERROR_NO_MORE_ITEMS) found = Unknown<DWORD>(error);
                break;
            }
            for (DWORD i = 0; i < returned; ++i) {
                const std::wstring xml = Lower(Render(events[i]));
                if (found.value == 0 && xml.find(needle) != std::wstring::npos) found.value = EventIdOf(xml);
                close_(events[i]);
            }
            read += static_cast<int>(returned);
        }
        close_(results);
        return found;
    }

private:
    template <class T>
    T Entry(const char* name) const {
        return Entry<T>(module_, name);
    }
    template <class T>
    static T Entry(HMODULE module, const char* name) {
        return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    std::wstring Render(EventHandle event) const {
        DWORD used = 0, properties = 0;
        render_(nullptr, event, kRenderEventXml, 0, nullptr, &used, &properties);
        std::vector<wchar_t> text(used / sizeof(wchar_t) + 1, L'\0');
        if (!render_(nullptr, event, kRenderEventXml, static_cast<DWORD>(text.size() * sizeof(wchar_t)), text.data(),
                     &used, &properties))
            return L"";
        return text.data();
    }

    HMODULE module_;
    EvtQueryEntry query_ = nullptr;
    EvtNextEntry next_ = nullptr;
    EvtRenderEntry render_ = nullptr;
    EvtCloseEntry close_ = nullptr;
};

}  // namespace

Known<DWORD> NewestCodeIntegrityEvent(const std::wstring& file) {
    const EventLog log;
    if (!log.usable()) return Unknown<DWORD>(ERROR_PROC_NOT_FOUND);
    return log.Newest(file);
}
