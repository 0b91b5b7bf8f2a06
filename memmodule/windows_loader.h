// The loader's platform services on Windows: kernel32's virtual memory and
// library loader, and CallAddress for the entry point.
#pragma once

#include "memmodule/loader_platform.h"

// One process-wide instance; stateless, so any thread may use it.
LoaderPlatform& WindowsLoader();
