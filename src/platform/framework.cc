#include "platform/framework.h"

namespace hz {
namespace {

bool PosixStartup() { return true; }

FrameworkStartup g_startup = PosixStartup;

}  // namespace

bool StartFramework() { return g_startup(); }

FrameworkStartup SetFrameworkStartup(FrameworkStartup startup) {
  FrameworkStartup previous = g_startup;
  g_startup = startup ? startup : PosixStartup;
  return previous;
}

}  // namespace hz
