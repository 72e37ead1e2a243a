#pragma once

#include "hosts/win32/RedirectionTrust.h"
#include "hosts/win32/Win32Clock.h"
#include "hosts/win32/Win32EventLog.h"
#include "hosts/win32/Win32FileSystem.h"
#include "hosts/win32/Win32Process.h"
#include "platform/Services.h"

namespace brelmont::win32 {

// One of each host service for a run, built from the C runtime's wide argument list.
class Win32Services {
  public:
    Win32Services(int argc, const wchar_t* const* argv) : process_(argc, argv) {
        EnforceRedirectionTrust();
    }
    // The services handed out refer to the members.
    Win32Services(const Win32Services&) = delete;
    Win32Services& operator=(const Win32Services&) = delete;

    platform::Services ForRun() { return {files_, eventLog_, clock_, process_}; }
    Win32FileSystem& Files() { return files_; }

  private:
    Win32FileSystem files_;
    Win32EventLog eventLog_;
    Win32Clock clock_;
    Win32Process process_;
};

}  // namespace brelmont::win32
