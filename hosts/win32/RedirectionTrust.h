#pragma once

namespace brelmont::win32 {

// Asks Windows to follow, for this process, only the junctions and links that an administrator
// made (the redirection-trust mitigation), where the system offers it: a second line behind the
// program's own rule for links at Launch.local. Older systems and Wine lack it; nothing changes
// there.
void EnforceRedirectionTrust();

}  // namespace brelmont::win32
