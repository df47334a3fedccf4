// The operating-system services the runtime calls, by their Windows names. On Windows they are
// the system's own; on the host build they come from the small layer in runtime/host/.
#pragma once
#ifdef _WIN32
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#else
#include "runtime/host/os_host.hpp"
#endif
#include <stdint.h>
