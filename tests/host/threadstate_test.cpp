// Per-thread state, the error model and the range checks, on the host stand-ins of the system.
#include <gtest/gtest.h>

#include <thread>

#include "dialogkit/runtime/errors.hpp"
#include "runtime/memory_blocks.hpp"
#include "runtime/process.hpp"
#include "dialogkit/runtime/range_checks.hpp"
#include "runtime/threadstate.hpp"
#include "tests/support/host_switch.hpp"

namespace {

// Runs `body` on a fresh thread, which starts without a record, and releases the record after.
template <class F>
void on_new_thread(F body) {
  std::thread t([&] {
    body();
    thread_state_release();
  });
  t.join();
}

TEST(ThreadStateTest, CreatedOnceAndCountedOnce) {
  on_new_thread([] {
    int32_t before = process_state()->shared.live_records;
    ThreadState* a = thread_state_get();
    ThreadState* b = thread_state_get();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(process_state()->shared.live_records, before + 1);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(a);
    for (size_t i = 0; i < sizeof(ThreadState); ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
  });
}

TEST(ThreadStateTest, ReleaseWithoutRecordSucceedsAndChangesNothing) {
  on_new_thread([] {
    int32_t before = process_state()->shared.live_records;
    int live = host_os.global_blocks_live;
    EXPECT_EQ(thread_state_release(), ERR_NONE);
    EXPECT_EQ(process_state()->shared.live_records, before);
    EXPECT_EQ(host_os.global_blocks_live, live);
  });
}

TEST(ThreadStateTest, ReleaseClosesTheHandleFreesAndClearsTheSlot) {
  on_new_thread([] {
    ThreadState* record = thread_state_get();
    ASSERT_NE(record, nullptr);
    record->kernel_handle = 0x44;
    int closes = host_os.close_handle_calls;
    int32_t count = process_state()->shared.live_records;
    EXPECT_EQ(thread_state_release(), ERR_NONE);
    EXPECT_EQ(host_os.close_handle_calls, closes + 1);
    EXPECT_EQ(process_state()->shared.live_records, count - 1);
    EXPECT_EQ(TlsGetValue(process_state()->tls_index), nullptr);
  });
}

TEST(ThreadStateTest, FailedAllocationStoresNothingAndReadersAnswer7) {
  on_new_thread([] {
    int32_t count = process_state()->shared.live_records;
    {
      GlobalAllocFails fail;
      EXPECT_EQ(thread_state_get(), nullptr);
    }
    EXPECT_EQ(TlsGetValue(process_state()->tls_index), nullptr);
    EXPECT_EQ(process_state()->shared.live_records, count);
    ProcedureFrame frame = {};
    // error_raise still records in the frame and does not fail in turn.
    {
      GlobalAllocFails fail;
      EXPECT_EQ(error_raise(&frame, 9), 0);
    }
    EXPECT_EQ(frame.error_word, 0x8009u);
    {
      GlobalAllocFails fail;
      EXPECT_EQ(error_last(), 7);
    }
    {
      GlobalAllocFails fail;
      EXPECT_EQ(error_extra(), 7);
    }
    {
      GlobalAllocFails fail;
      EXPECT_EQ(error_take(&frame), 7);
    }
  });
}

TEST(ThreadStateTest, FailedReleaseKeepsTheRecordInTheSlot) {
  on_new_thread([] {
    ThreadState* record = thread_state_get();
    record->kernel_handle = 0x55;
    int closes = host_os.close_handle_calls;
    {
      GlobalFreeFails fail;
      EXPECT_EQ(thread_state_release(), ERR_RELEASE_FAILED);
    }
    EXPECT_EQ(TlsGetValue(process_state()->tls_index), record);
    EXPECT_EQ(host_os.close_handle_calls, closes + 1);
    record->kernel_handle = 0;
  });
}

TEST(Memory, BlocksAreZeroFilledAndFailuresReturned) {
  void* block = nullptr;
  ASSERT_EQ(mem_alloc(40, &block), ERR_NONE);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(static_cast<unsigned char*>(block)[i], 0);
  EXPECT_EQ(mem_free(block), ERR_NONE);
  {
    GlobalAllocFails fail;
    EXPECT_EQ(mem_alloc(40, &block), ERR_OUT_OF_MEMORY);
  }
  EXPECT_EQ(block, nullptr);
  void* other;
  ASSERT_EQ(mem_alloc(8, &other), ERR_NONE);
  {
    GlobalFreeFails fail;
    EXPECT_EQ(mem_free(other), ERR_RELEASE_FAILED);
  }
  EXPECT_EQ(mem_free(other), ERR_NONE);
}

TEST(Errors, RaiseZeroIsInternal) {
  ProcedureFrame frame = {};
  EXPECT_EQ(error_raise(&frame, 0), 0);
  EXPECT_EQ(frame.error_word, 0x8033u);
  EXPECT_EQ(error_last(), ERR_INTERNAL);
  EXPECT_EQ(thread_state_get()->last_error, 0x8033);
}

TEST(Errors, RaiseReplacesEarlierFlagsAndClearsExtra) {
  ProcedureFrame frame = {};
  frame.error_word = ERROR_IN_HANDLER | 9;
  thread_state_get()->error_extra = 0x1234;
  error_raise(&frame, 6);
  EXPECT_EQ(frame.error_word, 0x8006u);
  EXPECT_EQ(error_extra(), 0);
}

TEST(Errors, TakeReturnsAndClearsTheLastError) {
  ProcedureFrame frame = {};
  error_raise(&frame, ERR_OUT_OF_MEMORY);
  // The last error word and error_extra are taken as one 32-bit word: both come back 0, and the
  // fields beside them are left alone.
  ThreadState* record = thread_state_get();
  record->error_extra = 0x1234;
  record->owned_object = 0x5678;
  EXPECT_EQ(error_last(), 7);
  EXPECT_EQ(error_take(&frame), 7);
  EXPECT_EQ(frame.error_word, 0u);
  EXPECT_EQ(record->last_error, 0);
  EXPECT_EQ(error_extra(), 0);
  EXPECT_EQ(record->owned_object, 0x5678u);
  record->owned_object = 0;
  EXPECT_EQ(error_take(&frame), 0);
  EXPECT_EQ(error_last(), 0);
}

TEST(Errors, RaiseNumberRange) {
  struct Case { int32_t n; ErrorCode raised; } cases[] = {
      {0, 5}, {-1, 5}, {256, 5}, {INT32_MIN, 5}, {1, 1}, {255, 255}, {52, 52}};
  for (const Case& c : cases) {
    ProcedureFrame frame = {};
    error_raise_number(&frame, c.n);
    EXPECT_EQ(frame.error_word, 0x8000u | c.raised) << c.n;
    EXPECT_EQ(error_last(), c.raised) << c.n;
  }
}

TEST(Errors, FixedRaiseEntriesLeaveTheResultAlone) {
  struct Case { void (*raise)(ProcedureFrame*); ErrorCode code; } cases[] = {
      {error_raise_52, 52}, {error_raise_illegal_call, 5}, {error_raise_244, 244}, {error_raise_overflow, 6}};
  for (const Case& c : cases) {
    ProcedureFrame frame = {};
    frame.result = 77;
    c.raise(&frame);
    EXPECT_EQ(frame.error_word, 0x8000u | c.code);
    EXPECT_EQ(error_last(), c.code);
    EXPECT_EQ(frame.result, 77);
  }
}

TEST(Errors, DispatchWithoutHandlerClearsPendingOnce) {
  ProcedureFrame frame = {};
  error_raise(&frame, 6);
  EXPECT_EQ(error_dispatch(&frame), nullptr);
  EXPECT_EQ(frame.error_word, 6u);
  EXPECT_EQ(error_dispatch(&frame), nullptr);
  EXPECT_EQ(frame.error_word, 6u);
}

// A procedure that traps its errors: the handler label continues inside the same procedure, with
// its locals as they are.
int trapping_procedure(int raises, int* handler_runs) {
  ProcedureFrame frame = {};
  frame.error_handler = &&handler;
  int step = 0;
  for (; step < 3; ++step) {
    if (step < raises) error_raise(&frame, 7);
    ERROR_DISPATCH(frame);
  resume:;
  }
  return step;
handler:
  ++*handler_runs;
  EXPECT_EQ(frame.error_word, static_cast<uint32_t>(ERROR_IN_HANDLER | 7));
  goto resume;
}

TEST(Errors, DispatchContinuesAtTheHandlerOncePerRaise) {
  int runs = 0;
  EXPECT_EQ(trapping_procedure(2, &runs), 3);
  EXPECT_EQ(runs, 2);
  runs = 0;
  EXPECT_EQ(trapping_procedure(0, &runs), 3);
  EXPECT_EQ(runs, 0);
}

TEST(RangeChecks, Table) {
  struct Case { const char* name; void (*check)(ProcedureFrame*, int32_t); int32_t value; uint32_t word; };
  auto byte = [](ProcedureFrame* f, int32_t v) { check_byte(f, static_cast<uint32_t>(v)); };
  auto byte16 = [](ProcedureFrame* f, int32_t v) { check_byte16(f, static_cast<uint16_t>(v)); };
  auto present = [](ProcedureFrame* f, int32_t v) { check_array_present(f, v ? &v : nullptr); };
  const Case cases[] = {
      {"int16", check_int16, -32768, 0}, {"int16", check_int16, 32767, 0},
      {"int16", check_int16, 32768, 0x8006}, {"int16", check_int16, -32769, 0x8006},
      {"word", check_word, 65535, 0}, {"word", check_word, 65536, 0x8006}, {"word", check_word, -1, 0x8006},
      {"int16_positive", check_int16_positive, 32767, 0}, {"int16_positive", check_int16_positive, 32768, 0x8006},
      {"int16_positive", check_int16_positive, -1, 0x8006},
      {"not_negative", check_not_negative, 0, 0}, {"not_negative", check_not_negative, -1, 0x8006},
      {"byte", byte, 255, 0}, {"byte", byte, 256, 0x8006}, {"byte", byte, -1, 0x8006},
      {"byte16", byte16, 255, 0}, {"byte16", byte16, 0x100, 0x8006},
      {"present", present, 1, 0}, {"present", present, 0, 0x8009},
  };
  for (const Case& c : cases) {
    ProcedureFrame frame = {};
    c.check(&frame, c.value);
    EXPECT_EQ(frame.error_word, c.word) << c.name << " " << c.value;
  }
}

TEST(RangeChecks, IndexGivesTheZeroBasedPosition) {
  ProcedureFrame frame = {};
  EXPECT_EQ(check_index(&frame, 5, 1, 10), 4);
  EXPECT_EQ(frame.error_word, 0u);
  EXPECT_EQ(check_index(&frame, 10, 1, 10), 9);
  EXPECT_EQ(frame.error_word, 0u);
  check_index(&frame, 11, 1, 10);
  EXPECT_EQ(frame.error_word, 0x8009u);
  frame.error_word = 0;
  check_index(&frame, 0, 1, 10);
  EXPECT_EQ(frame.error_word, 0x8009u);
}

TEST(RangeChecks, FailingCheckLeavesTheThreadsLastErrorAlone) {
  ProcedureFrame frame = {};
  error_raise(&frame, 7);
  frame.error_word = 0;
  check_word(&frame, -1);
  EXPECT_EQ(frame.error_word, 0x8006u);
  EXPECT_EQ(error_last(), 7);
  check_fail_subscript(&frame);
  EXPECT_EQ(frame.error_word, 0x8009u);
  EXPECT_EQ(error_last(), 7);
}

}  // namespace
