#include "tests/programs/windows/WindowDriver.h"

#include <stdexcept>
#include <vector>

#include "win32/WideText.h"

namespace brelmont::win32::test {
namespace {

constexpr DWORD kPoll = 50;

struct Search {
    DWORD processId;
    std::string className;
    std::string title;
    HWND found = nullptr;
};

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return Narrow(std::wstring_view(name, length > 0 ? static_cast<std::size_t>(length) : 0));
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if ((search.processId == kAnyProcess || owner == search.processId) &&
        ::IsWindowVisible(window) && ClassOf(window) == search.className &&
        WindowText(window) == search.title) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchClass(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (ClassOf(window) == search.className) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchButton(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    std::string text = WindowText(window);
    std::erase(text, '&');
    if (ClassOf(window) == "Button" && text == search.title) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& executable, const std::string& commandLine) {
    job_.Reset(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits,
                              sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring line = Wide(commandLine);
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (!::CreateProcessW(Wide(executable).c_str(), line.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED, nullptr, nullptr, &startup, &started)) {
        throw std::runtime_error("cannot start " + executable);
    }
    process_.Reset(started.hProcess);
    id_ = started.dwProcessId;
    ::AssignProcessToJobObject(job_.Get(), process_.Get());
    ::ResumeThread(started.hThread);
    ::CloseHandle(started.hThread);
}

RunningProgram::~RunningProgram() {
    if (::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateJobObject(job_.Get(), 99);
        ::WaitForSingleObject(process_.Get(), kExitWait);
    }
}

std::optional<DWORD> RunningProgram::WaitForExit(DWORD timeout) {
    if (::WaitForSingleObject(process_.Get(), timeout) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD status = 0;
    ::GetExitCodeProcess(process_.Get(), &status);
    return status;
}

HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& title,
                   DWORD timeout) {
    const ULONGLONG deadline = ::GetTickCount64() + timeout;
    do {
        Search search{processId, className, title};
        ::EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        ::Sleep(kPoll);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

bool ShowsAnyWindow(DWORD processId) {
    struct Seen {
        DWORD processId;
        bool any = false;
    } seen{processId};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* seen = reinterpret_cast<Seen*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == seen->processId && ::IsWindowVisible(window)) {
                seen->any = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    return seen.any;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeout) {
    const ULONGLONG deadline = ::GetTickCount64() + timeout;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(kPoll);
    }
    return true;
}

bool WaitUntilGone(HWND window, DWORD timeout) {
    return WaitFor([window] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeout);
}

HWND FindDescendant(HWND parent, const std::string& className) {
    if (parent == nullptr) {
        return nullptr;
    }
    Search search{0, className, {}};
    ::EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindButton(HWND parent, const std::string& text) {
    Search search{0, {}, text};
    ::EnumChildWindows(parent, &MatchButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Press(HWND dialog, HWND button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

void PressKey(HWND window, WORD key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

RECT PlaceInParent(HWND child) {
    RECT place{};
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

}  // namespace brelmont::win32::test
