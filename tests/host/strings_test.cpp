// Dynamic strings and the temporaries stack on the host's string allocator: views, joins, resizing,
// borrowed references, and every allocation failure (balanced stack, nothing leaked).
#include <gtest/gtest.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/errors.hpp"
#include "runtime/os.hpp"
#include "runtime/process.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/support/host_switch.hpp"

namespace {

// Literals as the constant data holds them: a 16-bit length, then the bytes.
struct Literal {
  StringLiteral head;
  char bytes[30];
};
Literal literal(const char* text) {
  Literal l{};
  l.head.length = static_cast<uint16_t>(strlen(text));
  memcpy(l.bytes, text, l.head.length);
  return l;
}
static_assert(offsetof(Literal, bytes) == sizeof(uint16_t), "bytes follow the length");

std::string text(StringView v) { return std::string(v.data, v.length); }
std::string top(const ProcedureFrame& f) { return text(temp_view(&f, 0)); }

// A block of our own in the allocator's shape, for borrowed references and impossible lengths.
struct FakeBlock {
  uint32_t length;
  char bytes[8];
};

class StringsTest : public testing::Test {
 protected:
  void SetUp() override {
    live_ = host_os.string_blocks_live;
    error_take(&frame_);
  }
  void TearDown() override {
    EXPECT_EQ(host_os.string_blocks_live, live_) << "string blocks leaked";
    error_take(&frame_);
  }
  ProcedureFrame frame_{};
  int live_ = 0;
};

TEST_F(StringsTest, EmptyLiteralIsTheNullReference) {
  Literal empty = literal("");
  int allocs = host_os.string_allocs_total;
  temp_push_literal(&frame_, &empty.head);
  EXPECT_EQ(host_os.string_allocs_total, allocs);
  EXPECT_EQ(temp_peek(&frame_, 0), 0u);
  StringView v = temp_view(&frame_, 0);
  EXPECT_EQ(v.length, 0u);
  EXPECT_EQ(v.data, process_state()->shared.shared_empty);
  EXPECT_EQ(v.data[0], 0);
  EXPECT_EQ(process_state()->shared.empty_length, 0u);
  temp_pop_free(&frame_);
  EXPECT_EQ(frame_.temp_index, 0);
  EXPECT_EQ(frame_.error_word, 0u);
}

TEST_F(StringsTest, JoinOfTwoEmptyStringsAllocatesNothing) {
  int allocs = host_os.string_allocs_total;
  temp_push_empty(&frame_);
  temp_push_cstring(&frame_, "");
  string_join(&frame_);
  EXPECT_EQ(host_os.string_allocs_total, allocs);
  EXPECT_EQ(temp_count(&frame_), 1);
  EXPECT_EQ(temp_peek(&frame_, 0), 0u);
  temp_pop_free(&frame_);
  EXPECT_EQ(frame_.error_word, 0u);
}

TEST_F(StringsTest, JoinPutsTheLowerOperandFirst) {
  Literal width = literal("Width = ");
  temp_push_literal(&frame_, &width.head);
  temp_push_cstring(&frame_, " 640");
  string_join(&frame_);
  StringView v = temp_view(&frame_, 0);
  EXPECT_EQ(text(v), "Width =  640");
  EXPECT_EQ(v.length, 12u);
  EXPECT_EQ(v.data[12], 0);
  EXPECT_EQ(host_os.string_blocks_live, live_ + 1);  // the operands are gone, the result stays
  temp_pop_free(&frame_);
}

TEST_F(StringsTest, JoinWithOneEmptySideAndZeroBytes) {
  const char with_zero[3] = {'a', 0, 'b'};
  temp_push_copy(&frame_, with_zero, 3);
  temp_push_empty(&frame_);
  string_join(&frame_);
  EXPECT_EQ(top(frame_), std::string("a\0b", 3));
  temp_push_cstring(&frame_, "c\0d");  // counted up to the first zero byte
  string_join(&frame_);
  EXPECT_EQ(top(frame_), std::string("a\0bc", 4));
  temp_pop_free(&frame_);
  temp_push_cstring(&frame_, nullptr);
  EXPECT_EQ(temp_peek(&frame_, 0), 0u);
  temp_pop_free(&frame_);
}

// The size report, built exactly as the dialog callback builds it.
void build_size_report(ProcedureFrame* f) {
  Literal width = literal("Width = "), pixels = literal(" pixels "), height = literal("Height = "),
          pixels_end = literal(" pixels");
  temp_push_literal(f, &width.head);
  temp_push_cstring(f, " 300");
  string_join(f);
  temp_push_literal(f, &pixels.head);
  string_join(f);
  temp_push_crlf(f);
  string_join(f);
  temp_push_literal(f, &height.head);
  string_join(f);
  temp_push_cstring(f, " 200");
  string_join(f);
  temp_push_literal(f, &pixels_end.head);
  string_join(f);
}

TEST_F(StringsTest, SizeReportHasItsExactBytes) {
  build_size_report(&frame_);
  EXPECT_EQ(temp_count(&frame_), 1);
  EXPECT_EQ(top(frame_), "Width =  300 pixels \r\nHeight =  200 pixels");
  EXPECT_EQ(host_os.string_blocks_live, live_ + 1);
  temp_pop_free(&frame_);
  EXPECT_EQ(frame_.temp_index, 0);
  EXPECT_EQ(frame_.error_word, 0u);
}

TEST_F(StringsTest, EveryStatementFormLeavesTheIndexAsItFoundIt) {
  Literal a = literal("a");
  // A statement runs while an outer expression holds a temporary of its own.
  temp_push_cstring(&frame_, "outer");
  const int32_t before = frame_.temp_index;
  struct Form {
    const char* name;
    void (*run)(ProcedureFrame*, const StringLiteral*);
  };
  const Form forms[] = {
      {"push, consume", [](ProcedureFrame* f, const StringLiteral* l) {
         temp_push_literal(f, l);
         temp_pop_free(f);
       }},
      {"a + b", [](ProcedureFrame* f, const StringLiteral* l) {
         temp_push_literal(f, l);
         temp_push_crlf(f);
         string_join(f);
         temp_pop_free(f);
       }},
      {"a + b + c", [](ProcedureFrame* f, const StringLiteral* l) {
         temp_push_literal(f, l);
         temp_push_empty(f);
         string_join(f);
         temp_push_copy(f, "xyz", 3);
         string_join(f);
         temp_pop_free(f);
       }},
      {"two arguments", [](ProcedureFrame* f, const StringLiteral* l) {
         temp_push_literal(f, l);
         temp_push(f, string_resize(0, 4));
         temp_pop_free(f);
         temp_pop_free(f);
       }},
      {"size report", [](ProcedureFrame* f, const StringLiteral*) {
         build_size_report(f);
         temp_pop_free(f);
       }},
  };
  for (const Form& form : forms) {
    form.run(&frame_, &a.head);
    EXPECT_EQ(frame_.temp_index, before) << form.name;
    EXPECT_EQ(top(frame_), "outer") << form.name;
  }
  temp_pop_free(&frame_);
  EXPECT_EQ(frame_.temp_index, 0);
}

TEST_F(StringsTest, BorrowedReferencesAreReadButNeverReleased) {
  DynString owned;
  char* bytes;
  ASSERT_EQ(string_alloc(3, &owned, &bytes), ERR_NONE);
  memcpy(bytes, "own", 3);
  const DynString borrowed = owned | DYN_BORROWED;
  int frees = host_os.string_frees_total;

  StringView v = string_view(borrowed);
  EXPECT_EQ(v.data, bytes);
  EXPECT_EQ(v.length, 3u);
  string_free(borrowed);
  temp_push(&frame_, borrowed);
  temp_pop_free(&frame_);
  temp_push_cstring(&frame_, "<");
  temp_push(&frame_, borrowed);
  string_join(&frame_);
  temp_push(&frame_, borrowed);
  string_join(&frame_);
  EXPECT_EQ(top(frame_), "<ownown");
  temp_pop_free(&frame_);
  EXPECT_EQ(string_resize(borrowed, 0), 0u);
  DynString copy = string_resize(borrowed, 2);
  EXPECT_EQ(text(string_view(copy)), "ow");
  string_free(copy);
  // "<", "<own", "<ownown" and the copy were released, never the borrowed block.
  EXPECT_EQ(host_os.string_frees_total, frees + 4);
  EXPECT_EQ(host_os.string_blocks_live, live_ + 1);
  EXPECT_EQ(text(string_view(owned)), "own");
  string_free(owned);
}

TEST_F(StringsTest, ResizePadsCutsAndEmpties) {
  DynString r;
  char* bytes;
  ASSERT_EQ(string_alloc(3, &r, &bytes), ERR_NONE);
  memcpy(bytes, "abc", 3);
  r = string_resize(r, 6);
  EXPECT_EQ(text(string_view(r)), std::string("abc\0\0\0", 6));
  EXPECT_EQ(string_view(r).data[6], 0);
  r = string_resize(r, 2);
  EXPECT_EQ(text(string_view(r)), "ab");
  EXPECT_EQ(string_view(r).data[2], 0);  // a cut copies no byte past the new length
  r = string_resize(r, 0);
  EXPECT_EQ(r, 0u);
  EXPECT_EQ(host_os.string_blocks_live, live_);
  r = string_resize(0, 3);  // from the empty string
  EXPECT_EQ(text(string_view(r)), std::string(3, '\0'));
  string_free(r);
  EXPECT_EQ(frame_.error_word, 0u);
}

TEST_F(StringsTest, EveryBlockHoldsItsCountBytesAndTerminator) {
  // The host allocator hands out freed small blocks again: every block, new or used before, has
  // room for the count, the bytes and two zero bytes, the count before the bytes and the zeros
  // after them, whatever length the block had before. Lengths across every size of block, freed
  // in an order that mixes them.
  std::vector<DynString> held;
  std::vector<int32_t> lengths;
  for (int round = 0; round < 3; ++round)
    for (int32_t n = 1; n <= 80; ++n) lengths.push_back(round == 1 ? 81 - n : (n * 37) % 80 + 1);
  for (size_t i = 0; i < lengths.size(); ++i) {
    const int32_t n = lengths[i];
    DynString r;
    char* bytes;
    ASSERT_EQ(string_alloc(n, &r, &bytes), ERR_NONE);
    unsigned char* block = reinterpret_cast<unsigned char*>(bytes) - sizeof(uint32_t);
    ASSERT_GE(malloc_usable_size(block), sizeof(uint32_t) + n + 2) << n;
    EXPECT_EQ(string_view(r).length, static_cast<uint32_t>(n));
    EXPECT_EQ(bytes[n], 0);
    EXPECT_EQ(bytes[n + 1], 0);
    memset(bytes, 0x7F, n);
    held.push_back(r);
    if (i % 3 == 2) {  // free two of every three, the older first
      string_free(held[held.size() - 3]);
      string_free(held[held.size() - 2]);
      held.erase(held.end() - 3, held.end() - 1);
    }
  }
  for (DynString r : held) {
    StringView v = string_view(r);
    EXPECT_EQ(std::string(v.data, v.length), std::string(v.length, 0x7F));
    string_free(r);
  }
  EXPECT_EQ(host_os.string_blocks_live, live_);
}

TEST_F(StringsTest, AllocFailureGivesTheEmptyString) {
  DynString r = 1;
  char* bytes = nullptr;
  int allocs = host_os.string_allocs_total;
  EXPECT_EQ(string_alloc(0, &r, &bytes), ERR_NONE);
  EXPECT_EQ(r, 0u);
  EXPECT_EQ(bytes, shared_empty());
  for (int32_t n : {-1, INT32_MIN}) {
    r = 1;
    EXPECT_EQ(string_alloc(n, &r, &bytes), ERR_OUT_OF_MEMORY) << n;
    EXPECT_EQ(r, 0u);
    EXPECT_EQ(bytes, shared_empty());
  }
  EXPECT_EQ(host_os.string_allocs_total, allocs);
  StringAllocFails fail;
  EXPECT_EQ(string_alloc(5, &r, &bytes), ERR_OUT_OF_MEMORY);
  EXPECT_EQ(r, 0u);
  EXPECT_EQ(bytes, shared_empty());
}

// Each pushing operation when its allocation fails: the null reference is pushed and error 7 is
// recorded or not, as the operation's contract says.
TEST_F(StringsTest, FailedPushesStayBalanced) {
  static const Literal lit = literal("literal");
  struct Push {
    const char* name;
    void (*run)(ProcedureFrame*);
    bool records;
  };
  const Push pushes[] = {
      {"literal", [](ProcedureFrame* f) { temp_push_literal(f, &lit.head); }, true},
      {"result", [](ProcedureFrame* f) { temp_push_copy_raising(f, "abc", 3); }, true},
      {"crlf", [](ProcedureFrame* f) { temp_push_crlf(f); }, true},
      {"copy", [](ProcedureFrame* f) { temp_push_copy(f, "abc", 3); }, false},
      {"cstring", [](ProcedureFrame* f) { temp_push_cstring(f, "abc"); }, false},
  };
  for (const Push& p : pushes) {
    StringAllocFails fail;
    p.run(&frame_);
    EXPECT_EQ(temp_count(&frame_), 1) << p.name;
    EXPECT_EQ(temp_peek(&frame_, 0), 0u) << p.name;
    EXPECT_EQ(frame_.error_word, p.records ? 0x8000u | ERR_OUT_OF_MEMORY : 0u) << p.name;
    EXPECT_EQ(error_take(&frame_), p.records ? ERR_OUT_OF_MEMORY : ERR_NONE) << p.name;
    temp_pop_free(&frame_);
  }
}

// An operation's result string: its own copy of exactly the bytes given, zero bytes included;
// no bytes give the null reference without allocating.
TEST_F(StringsTest, ResultIsACopyOfExactlyItsBytes) {
  const char bytes[] = {'a', 0, 'b'};
  temp_push_copy_raising(&frame_, bytes, 3);
  EXPECT_EQ(top(frame_), std::string(bytes, 3));
  EXPECT_NE(temp_view(&frame_, 0).data, bytes);
  EXPECT_EQ(frame_.error_word, 0u);
  temp_pop_free(&frame_);
  int allocs = host_os.string_allocs_total;
  temp_push_copy_raising(&frame_, bytes, 0);
  EXPECT_EQ(temp_peek(&frame_, 0), 0u);
  EXPECT_EQ(host_os.string_allocs_total, allocs);
  temp_pop_free(&frame_);
  EXPECT_EQ(temp_count(&frame_), 0);
}

TEST_F(StringsTest, FailedResizeReleasesTheOldStringQuietly) {
  DynString r;
  char* bytes;
  ASSERT_EQ(string_alloc(4, &r, &bytes), ERR_NONE);
  StringAllocFails fail;
  EXPECT_EQ(string_resize(r, 100), 0u);
  EXPECT_EQ(host_os.string_blocks_live, live_);
  EXPECT_EQ(string_resize(0, -1), 0u);
  EXPECT_EQ(error_last(), ERR_NONE);
}

TEST_F(StringsTest, FailedJoinLeavesOneEmptyTemporaryAndReleasesBoth) {
  temp_push_cstring(&frame_, "left");
  temp_push_cstring(&frame_, "right");
  {
    StringAllocFails fail;
    string_join(&frame_);
  }
  EXPECT_EQ(temp_count(&frame_), 1);
  EXPECT_EQ(temp_peek(&frame_, 0), 0u);
  EXPECT_EQ(frame_.error_word, 0x8000u | ERR_OUT_OF_MEMORY);
  EXPECT_EQ(error_last(), ERR_OUT_OF_MEMORY);
  EXPECT_EQ(host_os.string_blocks_live, live_);
  // The expression goes on with the empty string in the operands' place.
  temp_push_cstring(&frame_, "next");
  string_join(&frame_);
  EXPECT_EQ(top(frame_), "next");
  temp_pop_free(&frame_);
}

TEST_F(StringsTest, JoinWhoseLengthDoesNotFitFailsWithoutCopying) {
  // Borrowed blocks claiming lengths whose sum passes the signed (or the whole 32-bit) range.
  FakeBlock huge{0xFFFFFFF0u, "abc"};
  FakeBlock half{0x7FFFFFF0u, "abc"};
  const DynString huge_ref = reinterpret_cast<DynString>(huge.bytes) | DYN_BORROWED;
  const DynString half_ref = reinterpret_cast<DynString>(half.bytes) | DYN_BORROWED;
  const DynString lefts[] = {huge_ref, half_ref, half_ref};
  int allocs = host_os.string_allocs_total;
  for (DynString left : lefts) {
    temp_push(&frame_, left);
    temp_push_copy(&frame_, "0123456789abcdefghijklmnopqrstuv", 32);
    string_join(&frame_);
    EXPECT_EQ(temp_count(&frame_), 1);
    EXPECT_EQ(temp_peek(&frame_, 0), 0u);
    EXPECT_EQ(error_take(&frame_), ERR_OUT_OF_MEMORY);
    temp_pop_free(&frame_);
  }
  EXPECT_EQ(host_os.string_allocs_total, allocs + 3);  // only the right operands
}

// The size report with each of its allocations failing in turn: the statement still ends with
// exactly one temporary, nothing leaks, and the text is what the remaining pieces make.
TEST_F(StringsTest, SizeReportSurvivesEveryAllocationFailure) {
  int allocs = host_os.string_allocs_total;
  build_size_report(&frame_);
  const int steps = host_os.string_allocs_total - allocs;
  temp_pop_free(&frame_);
  ASSERT_EQ(steps, 13);  // seven pieces, six joins
  for (int k = 0; k < steps; ++k) {
    {
      StringAllocFails fail(k);
      build_size_report(&frame_);
    }
    EXPECT_EQ(temp_count(&frame_), 1) << "failure at allocation " << k;
    EXPECT_EQ(host_os.string_blocks_live, live_ + (k == steps - 1 ? 0 : 1)) << k;
    std::string t = top(frame_);
    EXPECT_LT(t.size(), std::string("Width =  300 pixels \r\nHeight =  200 pixels").size()) << k;
    bool piece = k == 1 || k == 9;  // the two numbers' copies fail silently
    EXPECT_EQ(error_take(&frame_), piece ? ERR_NONE : ERR_OUT_OF_MEMORY) << k;
    temp_pop_free(&frame_);
    EXPECT_EQ(frame_.temp_index, 0) << k;
  }
}

TEST_F(StringsTest, FiveTemporariesFitTheFrame) {
  frame_.convert_scratch[0][0] = 0xA5;
  for (int i = 0; i < TEMP_SLOT_COUNT; ++i) temp_push_copy(&frame_, "x", 1);
  EXPECT_EQ(frame_.temp_index, -20);
  EXPECT_EQ(frame_.convert_scratch[0][0], 0xA5);
  for (int i = 0; i < TEMP_SLOT_COUNT; ++i) temp_pop_free(&frame_);
  EXPECT_EQ(frame_.temp_index, 0);
}

#ifndef NDEBUG
TEST_F(StringsTest, SixthTemporaryStopsADebugBuild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        ProcedureFrame f{};
        for (int i = 0; i <= TEMP_SLOT_COUNT; ++i) temp_push_empty(&f);
      },
      "");
  EXPECT_DEATH(
      {
        ProcedureFrame f{};
        temp_pop_free(&f);
      },
      "");
  EXPECT_DEATH(
      {
        ProcedureFrame f{};
        temp_push_empty(&f);
        string_join(&f);
      },
      "");
}
#else
TEST_F(StringsTest, SixthTemporaryIsDroppedInARelease) {
  frame_.convert_scratch[0][0] = 0xA5;
  for (int i = 0; i < TEMP_SLOT_COUNT; ++i) temp_push_empty(&frame_);
  temp_push_copy(&frame_, "sixth", 5);  // released at once: no slot holds it
  EXPECT_EQ(frame_.temp_index, -20);
  EXPECT_EQ(frame_.convert_scratch[0][0], 0xA5);
  for (int i = 0; i < TEMP_SLOT_COUNT; ++i) temp_pop_free(&frame_);
  temp_pop_free(&frame_);  // nothing left to pop: nothing happens
  EXPECT_EQ(frame_.temp_index, 0);
}
#endif

}  // namespace
