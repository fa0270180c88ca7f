#include "shell/mode_mutex.h"

#include "platform/named_mutex.h"
#include "shell/saver.h"

namespace orvanel::shell {

std::string ModeMutexName(SaverMode mode) {
  switch (mode) {
    case SaverMode::kPassword: return "SaverPasswordMode";
    case SaverMode::kPreview: return "SaverPreviewMode";
    case SaverMode::kConfig: return "SaverConfigMode";
    case SaverMode::kActive: return "SaverActiveMode";
    case SaverMode::kNone: return "SaverNoMode";
    case SaverMode::kDebug: return "SaverDebugMode";
  }
  return "SaverActiveMode";
}

bool MutexExists(platform::Desktop& desktop, const std::string& name) {
  return static_cast<bool>(platform::NamedMutex::Open(desktop, name));
}

bool CreateModeMutex(Saver& saver) {
  const auto name = ModeMutexName(saver.saverMode);
  if (MutexExists(saver.desktop, name)) return false;
  saver.modeMutex = platform::NamedMutex::Create(saver.desktop, name);
  return static_cast<bool>(saver.modeMutex);
}

void ReleaseModeMutex(Saver& saver) { saver.modeMutex.Release(); }

}  // namespace orvanel::shell
