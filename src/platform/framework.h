// Application start-up. The dictionary format comes from a platform whose
// programs start an application framework before they do anything; on POSIX
// there is nothing to start, but the failure path of the run is kept and can
// be driven through the seam below.
#ifndef HZ2HTML_PLATFORM_FRAMEWORK_H_
#define HZ2HTML_PLATFORM_FRAMEWORK_H_

namespace hz {

using FrameworkStartup = bool (*)();

// Starts the framework; returns false on failure.
bool StartFramework();

// Replaces the start-up routine (tests); returns the previous one.
FrameworkStartup SetFrameworkStartup(FrameworkStartup startup);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_FRAMEWORK_H_
