#pragma once

namespace brelmont::win32 {

// True when this process runs with an administrator's full rights: its token is elevated (an
// administrator past the consent prompt, or a program started elevated by an installer), or it
// is the system account (services and msiexec's non-impersonated custom actions). Such a run
// must not share what it holds with programs the same user runs without elevation.
bool ProcessIsElevated();

}  // namespace brelmont::win32
