#pragma once

#include <QIcon>
#include <QString>

namespace velmar {

// The reverse-DNS id the desktop knows the program by: the name of its desktop entry, icon and
// AppStream file, and what the window reports to the window manager.
QString ApplicationId();

// The program's icon, drawn from its SVG at the sizes a desktop asks for.
QIcon ApplicationIcon();

// Tells the desktop who this window belongs to: the desktop entry's id and the icon. Call once
// the application object exists.
void ApplyApplicationIdentity();

}  // namespace velmar
