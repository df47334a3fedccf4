// Per-thread state: the record in the TLS slot whose index ProcessState holds, and the count of
// records stored in it.
#include "runtime/threadstate.hpp"

#include "runtime/memory_blocks.hpp"
#include "runtime/os.hpp"
#include "runtime/process.hpp"

ThreadState* thread_state_get() {
  ThreadState* record = static_cast<ThreadState*>(TlsGetValue(process_state()->tls_index));
  if (record) return record;
  void* block;
  if (mem_alloc(sizeof(ThreadState), &block) != ERR_NONE) return nullptr;
  record = static_cast<ThreadState*>(block);
  thread_state_store(record);
  return record;
}

void thread_state_store(ThreadState* record) {
  TlsSetValue(process_state()->tls_index, record);
  // The count follows the value stored, not the call's result.
  process_state()->shared.live_records += record ? 1 : -1;
}

ErrorCode thread_state_release() {
  ThreadState* record = static_cast<ThreadState*>(TlsGetValue(process_state()->tls_index));
  if (!record) return ERR_NONE;
  if (record->kernel_handle) CloseHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(record->kernel_handle)));
  // The owned-object field has no kind of object in this runtime; nothing sets it, so there is
  // nothing to release for it.
  if (mem_free(record) != ERR_NONE) return ERR_RELEASE_FAILED;
  thread_state_store(nullptr);
  return ERR_NONE;
}
