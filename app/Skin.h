#pragma once

#include <QString>

// The window skin: XPCorona.ssk in the application directory is a Qt style sheet applied to every
// window created afterwards. A missing or unreadable file leaves the platform's look.
namespace Skin {

// Returns true when a skin was applied; start-up goes on either way.
bool Load(const QString& skinPath);
// Removes the skin before the process ends.
void Exit();

} // namespace Skin
