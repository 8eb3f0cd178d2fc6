#include "platform/framework.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace hz {
namespace {

// There is no application framework to start on either platform; the
// start-up only tunes the allocator where it can (glibc). Every page builds
// and frees the same large tables (its lists, the marker index, the page
// buffer): freed memory is kept for the next page instead of being handed
// back to the system and faulted in again.
bool TuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
  return true;
}

FrameworkStartup g_startup = TuneAllocator;

}  // namespace

bool StartFramework() { return g_startup(); }

FrameworkStartup SetFrameworkStartup(FrameworkStartup startup) {
  FrameworkStartup previous = g_startup;
  g_startup = startup ? startup : TuneAllocator;
  return previous;
}

}  // namespace hz
