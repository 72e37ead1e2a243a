#pragma once

namespace brelmont::win32 {

// Restricts every DLL the process loads by name from now on to the System32 folder. An installer
// often runs Brelmont.exe elevated from a folder that ordinary users can write; without this, a
// DLL they put beside it under the name of one Windows loads at run time (the theme engine, the
// save dialog's helpers) would run with the installer's rights. Returns false where the system
// cannot restrict the search that far (Windows 7 without its 2011 loader update); the current
// folder is then at least taken out of the search.
bool RestrictDllSearchToSystem32();

}  // namespace brelmont::win32
