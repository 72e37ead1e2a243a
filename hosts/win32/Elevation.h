#pragma once

#include <windows.h>

#include <string>

namespace brelmont::win32 {

// One kind of information about this process's token (TOKEN_USER, TOKEN_OWNER, ...) in a buffer
// of its own size; empty when it cannot be had.
std::string ProcessTokenInformation(TOKEN_INFORMATION_CLASS kind);

// The SID in TOKEN_USER or TOKEN_OWNER (`kind`) as text ("S-1-5-21-..."); empty when it cannot be
// had.
std::string ProcessTokenSid(TOKEN_INFORMATION_CLASS kind);

// True when this process runs with an administrator's full rights: its token is elevated (an
// administrator past the consent prompt, or a program started elevated by an installer), or it
// is the system account (services and msiexec's non-impersonated custom actions). Such a run
// must not share what it holds with programs the same user runs without elevation.
bool ProcessIsElevated();

}  // namespace brelmont::win32
