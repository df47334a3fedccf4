// The host build's <windows.h>: the stand-ins of os_host.hpp, so that a runtime header written
// for Windows (startup.hpp) builds on the host as it is. The host targets have this folder on
// their include path; nothing of user32 or gdi32 is here.
#pragma once
#include "runtime/host/os_host.hpp"
