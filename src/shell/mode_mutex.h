#pragma once
// The named mutexes that keep one Preview and one Active instance at a time,
// and make every start give way to a running full-screen instance or an
// open settings dialog.
#include <string>

#include "instance/saver.h"
#include "platform/desktop.h"

namespace orvanel::shell {

using instance::Saver;

// "SaverPasswordMode", "SaverPreviewMode", ...; "SaverActiveMode" for a value
// outside the table.
std::string ModeMutexName(instance::SaverMode mode);

// The name of a mode's mutex where this saver shows. On Windows (and on
// any desktop that keeps names per session) it is the mode's name alone.
// Elsewhere names are per display, so that a saver on one display never
// gives way to a saver on another (a second X session, a VNC display); a
// saver inside another program's window also takes that window's id, so that
// a host running one saver per monitor runs them all; a try-out window's
// names are its process's own, so that it gives way to no one and no one to it.
std::string ScopedMutexName(platform::Desktop& desktop, instance::SaverMode mode);

// A display's name as it names one display: the screen number and the local
// "unix" host dropped, so that :0, :0.1 and unix:0 are one display.
std::string DisplayKey(std::string display);

// True when a mutex of that name exists (any process may hold it).
bool MutexExists(platform::Desktop& desktop, const std::string& name);

// True when this instance now holds the mutex of its mode; false when another
// instance holds it, or made it at the same moment.
bool CreateModeMutex(Saver& saver);

// Releases the mode mutex. It is never owned, so the name stays until the
// process ends.
void ReleaseModeMutex(Saver& saver);

}  // namespace orvanel::shell
