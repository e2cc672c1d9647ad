#include "platform/platform.h"

#include <atomic>

#include "base/errors.h"

namespace nolu {
namespace {
// The one process-wide instance (see platform.h); atomic because worker threads read it.
std::atomic<TPlatform*> g_platform{nullptr};
}  // namespace

TPlatform& CurrentPlatform() {
  TPlatform* platform = g_platform.load(std::memory_order_acquire);
  if (!platform) throw EInvalidOperation(u"No platform is installed");
  return *platform;
}

TPlatform* SetCurrentPlatform(TPlatform* platform) {
  return g_platform.exchange(platform, std::memory_order_acq_rel);
}

}  // namespace nolu
