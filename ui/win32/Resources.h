#pragma once

// Resource identifiers, shared by the resource script and the code; plain defines, since the
// resource compiler reads this file too.
#define BRELMONT_ICON 1
