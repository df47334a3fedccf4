// The host layer's failure switches (host_os, runtime/host/os_host.hpp) set for one scope: a
// guard gives the switch its value for the test and puts back the value it had when the scope
// ends, however the scope is left (a failed ASSERT returns from the test at once).
#pragma once
#include "runtime/os.hpp"

template <class T>
class HostSwitch {
 public:
  HostSwitch(T& field, T value) : field_(field), saved_(field) { field_ = value; }
  ~HostSwitch() { field_ = saved_; }
  HostSwitch(const HostSwitch&) = delete;
  HostSwitch& operator=(const HostSwitch&) = delete;

 private:
  T& field_;
  T saved_;
};

// The string allocation after the next `after` ones fails, once (SysAllocStringByteLen).
struct StringAllocFails : HostSwitch<int> {
  explicit StringAllocFails(int after = 0)
      : HostSwitch(host_os.string_allocs_until_failure, after) {}
};
// The same for GlobalAlloc.
struct GlobalAllocFails : HostSwitch<int> {
  explicit GlobalAllocFails(int after = 0)
      : HostSwitch(host_os.global_allocs_until_failure, after) {}
};
// Every GlobalFree fails and keeps its block.
struct GlobalFreeFails : HostSwitch<bool> {
  GlobalFreeFails() : HostSwitch(host_os.global_free_fails, true) {}
};
// Every TlsAlloc answers TLS_OUT_OF_INDEXES.
struct TlsAllocFails : HostSwitch<bool> {
  TlsAllocFails() : HostSwitch(host_os.tls_alloc_fails, true) {}
};
// Whether the registry has the floating-point processor key (RegOpenKeyExA fails without it).
struct FpuKeyPresent : HostSwitch<bool> {
  explicit FpuKeyPresent(bool present) : HostSwitch(host_os.fpu_key_present, present) {}
};
