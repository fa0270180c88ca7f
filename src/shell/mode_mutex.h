#pragma once
// The named mutexes that keep one Preview and one Active instance at a time,
// and make every start give way to a running full-screen instance or an
// open settings dialog.
#include <string>

#include "platform/desktop.h"
#include "instance/saver.h"

namespace orvanel::shell {

using instance::Saver;

// "SaverPasswordMode", "SaverPreviewMode", ...; "SaverActiveMode" for a value
// outside the table.
std::string ModeMutexName(instance::SaverMode mode);

// True when a mutex of that name exists (any process may hold it).
bool MutexExists(platform::Desktop& desktop, const std::string& name);

// True when this instance now holds the mutex of its mode; false when another
// instance holds it, or made it at the same moment.
bool CreateModeMutex(Saver& saver);

// Releases the mode mutex. It is never owned, so the name stays until the
// process ends.
void ReleaseModeMutex(Saver& saver);

}  // namespace orvanel::shell
