// The real platform objects, built once by the program's start-up (and by
// tests that work on real files) and passed down by reference.

#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace converte::platform {

std::unique_ptr<FileSystem> newSystemFileSystem();
std::unique_ptr<Clock> newSystemClock();

}  // namespace converte::platform
