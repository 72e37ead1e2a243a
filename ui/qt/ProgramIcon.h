#pragma once

#include <QIcon>

namespace brelmont::qtui {

// The program's own 32 by 32 icon: a list sheet with a green plus, the add-on being registered.
// Needs a QGuiApplication.
QIcon ProgramIcon();

}  // namespace brelmont::qtui
