// Makes some of the test program's imports fail as the system fails when it runs out of
// resources: the program's own import slots of SetPropA, BeginDeferWindowPos and DeferWindowPos
// are pointed at stand-ins that count the calls and refuse the chosen ones (they return failure
// without reaching the system); every other call goes on to the system. EndDeferWindowPos is
// watched, so that a test can see whether every batch begun was ended.
#pragma once
#include <windows.h>

// Which calls of one function fail: none while `first` is 0; otherwise the `first`-th call
// counted since the failure was set, and with `every_later` each call after it as well.
struct CallFailure {
  int first = 0;
  bool every_later = false;
  int calls = 0;   // counted since set
  int refused = 0;
};

extern CallFailure set_prop_failure, begin_defer_failure, defer_failure;

// Points the import slots at the stand-ins (once per program) and clears every failure.
void call_failures_install();
// Batches that BeginDeferWindowPos gave and that no EndDeferWindowPos has ended yet.
int batches_open();
