// Start-up logic on the host: the command-line tail, the data image preparation, and start-up's
// open and main sequence run on the host program's own data section, with a main procedure that
// records what it received and the state it found.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/mman.h>

#include <string>
#include <thread>

#include "dialogkit/runtime/data_image.hpp"
#include "runtime/process.hpp"
#include "dialogkit/runtime/startup.hpp"
#include "runtime/startup_steps.hpp"
#include "runtime/x87.hpp"
#include "tests/support/host_switch.hpp"

namespace {
struct MainCall {
  int calls;
  HINSTANCE instance;
  uintptr_t previous;
  const char* tail;
  uint32_t show;
  uint16_t control_word;
  bool shared_zero;
  uint32_t globals[3];
} main_call;
}  // namespace

int32_t app_main(HINSTANCE instance, uintptr_t previous, const char* tail, uint32_t show) {
  ++main_call.calls;
  main_call.instance = instance;
  main_call.previous = previous;
  main_call.tail = tail;
  main_call.show = show;
  main_call.control_word = fpu_read_control_word();
  const unsigned char* shared = reinterpret_cast<const unsigned char*>(&process_state()->shared);
  main_call.shared_zero = true;
  for (size_t i = 0; i < sizeof(SharedVariables); ++i) main_call.shared_zero &= shared[i] == 0;
  memcpy(main_call.globals, data_globals(), sizeof main_call.globals);
  return 1234;
}

namespace {

struct TailCase {
  const char* line;
  const char* tail;
};

TEST(CommandLineTail, Table) {
  const TailCase cases[] = {
      {"\"C:\\dir\\prog.exe\"  one two", "one two"},
      {"prog.exe one", "one"},
      {"prog.exe", ""},
      {"\"prog\"x", "x"},
      {"prog.exe\tone", "\tone"},
      {"  prog.exe one", "prog.exe one"},
      {"\"prog.exe one", ""},
      {"", ""},
      {"\"\"", ""},
      {"\"\" a", "a"},
      {"pr\xE9g\xFF.exe  tail", "tail"},
      {"prog.exe \x01z", "\x01z"},
      {"prog.exe\x01z", "\x01z"},
      {"p", ""},
      {"prog.exe   ", ""},
      // The first byte of an unquoted name is stepped over whatever it is: a tab, a control byte
      // or a byte from 0x80 up starts the name like any other; a tab or control byte after it
      // ends the name and starts the tail.
      {"\tprog.exe one", "one"},
      {"\t\tone", "\tone"},
      {"\x01prog one", "one"},
      {"\x01\x02z", "\x02z"},
      {"\xE9prog one", "one"},
      {"\x80\xFF tail", "tail"},
      // After the closing quote only blanks are skipped, and a tab is not one.
      {"\"prog\"\tone", "\tone"},
      {"\"prog\"  \t one", "\t one"},
  };
  for (const TailCase& c : cases) {
    const char* tail = command_line_tail(c.line);
    EXPECT_STREQ(tail, c.tail) << "line: " << c.line;
    // The tail is a pointer into the same text, never a copy.
    EXPECT_GE(tail, c.line);
    EXPECT_LE(tail, c.line + strlen(c.line));
  }
}

TEST(CommandLineTail, UnclosedQuoteStopsAtTheTerminator) {
  // Bytes after the terminating zero must never be reached.
  char line[] = "\"abc\0\" next";
  EXPECT_EQ(command_line_tail(line), line + 4);
}

// A data section placed below 4 GiB, as the program's own is.
struct LowSection {
  unsigned char* base;
  LowSection() {
    void* p = mmap(nullptr, DATA_SECTION_SIZE, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    base = p == MAP_FAILED ? nullptr : static_cast<unsigned char*>(p);
  }
  ~LowSection() { if (base) munmap(base, DATA_SECTION_SIZE); }
};

struct TestConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};

// The stored image exactly as the module holds it.
void store_image(unsigned char* base, const TestConstants& constants) {
  DataImage<TestConstants> image = {};
  image.header = {DATA_GLOBALS_SIZE, DATA_GLOBALS_OFFSET, 0, DATA_STORED_AREA_OFFSET,
                  DATA_CONSTANTS_SIZE, DATA_CONSTANTS_OFFSET};
  image.constants = constants;
  static_assert(sizeof image == DATA_STORED_SIZE, "stored part is 512 bytes");
  memcpy(base, &image, sizeof image);
}

TestConstants pattern() {
  TestConstants c;
  for (uint32_t i = 0; i < sizeof c.bytes; ++i) c.bytes[i] = static_cast<unsigned char>(i * 7 + 1);
  return c;
}

TEST(DataImage, MovesTheConstantsToTheirWorkingPlace) {
  LowSection section;
  ASSERT_NE(section.base, nullptr);
  unsigned char* base = section.base;
  TestConstants constants = pattern();
  store_image(base, constants);
  data_image_prepare(base);
  EXPECT_EQ(memcmp(base + DATA_CONSTANTS_OFFSET, constants.bytes, sizeof constants.bytes), 0);
  uintptr_t b = reinterpret_cast<uintptr_t>(base);
  const DataImageHeader* copy = reinterpret_cast<const DataImageHeader*>(base + 0x28C);
  EXPECT_EQ(copy->globals_size, 12u);
  EXPECT_EQ(copy->globals_offset, b + 0x2A4);
  EXPECT_EQ(copy->stored_size, 0u);
  EXPECT_EQ(copy->stored_offset, b + 0x2B0);
  EXPECT_EQ(copy->constants_size, 236u);
  EXPECT_EQ(copy->constants_offset, b + 0x2B0);
  const ProcessState* state = reinterpret_cast<const ProcessState*>(base);
  EXPECT_EQ(state->version.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(state->library_result, 0);
}

TEST(DataImage, OverlappingMoveCopiesFromTheTop) {
  // With a stored area as well, source and destination ranges overlap; a bottom-up copy would
  // smear the first bytes over the rest.
  LowSection section;
  ASSERT_NE(section.base, nullptr);
  unsigned char* base = section.base;
  DataImageHeader header = {12, 0x2A4, 0x300, 0x2B0, 0x40, 0x5B0};
  memcpy(base + DATA_HEADER_OFFSET, &header, sizeof header);
  for (uint32_t i = 0; i < 0x340; ++i) base[0x28 + i] = static_cast<unsigned char>(i ^ 0x5A);
  data_image_prepare(base);
  for (uint32_t i = 0; i < 0x340; ++i)
    ASSERT_EQ(base[0x2B0 + i], static_cast<unsigned char>(i ^ 0x5A)) << "byte " << i;
}

// --- Start-up and the main sequence on the program's own data section ---------------------------

// What this processor reads back after loading `word` into the x87 control word (an x86
// processor sets the reserved bit 6).
uint16_t control_word_read_back(uint16_t word) {
  const uint16_t saved = fpu_read_control_word();
  fpu_load_control_word(word);
  const uint16_t read = fpu_read_control_word();
  fpu_load_control_word(saved);
  return read;
}

// The x87 default, which is not the working control word.
constexpr uint16_t kDefaultControlWord = 0x037F;

// Runs `body` on a thread of its own, which starts without a record in any TLS slot.
template <class F>
void on_new_thread(F body) {
  std::thread(body).join();
}

// These tests run start-up and the main sequence on the program's own data section, which every
// other test expects as main() left it: each keeps the section aside and puts it back after, and
// loads the working control word again.
class MainSequenceTest : public testing::Test {
 protected:
  void SetUp() override {
    memcpy(saved_, data_section_base(), DATA_SECTION_SIZE);
    main_call = MainCall{};
  }
  void TearDown() override {
    memcpy(data_section_base(), saved_, DATA_SECTION_SIZE);
    fpu_load_control_word(FPU_CONTROL_WORD);
  }
  // The section as start-up's data image step leaves it, then every byte of the shared block
  // and of the globals area set, as a reset would find them.
  static void prepare_with_bytes_set() {
    store_image(data_section_base(), pattern());
    data_image_prepare(data_section_base());
    memset(&process_state()->shared, 0x5A, sizeof(SharedVariables));
    memset(data_globals(), 0xA5, DATA_GLOBALS_SIZE);
  }
  unsigned char saved_[DATA_SECTION_SIZE];
};

TEST_F(MainSequenceTest, ResetsThenCallsTheMainProcedureWithTheStartValues) {
  prepare_with_bytes_set();
  ProcessState* state = process_state();
  static char instance;
  static const char tail[] = "one two";
  state->entry_reason = 1;
  state->instance = &instance;
  state->command_tail = tail;
  state->show_state = 3;
  fpu_load_control_word(kDefaultControlWord);
  main_sequence();
  EXPECT_EQ(main_call.calls, 1);
  EXPECT_EQ(main_call.instance, &instance);
  EXPECT_EQ(main_call.previous, 0u);
  EXPECT_EQ(main_call.tail, tail);
  EXPECT_EQ(main_call.show, 3u);
  EXPECT_EQ(main_call.control_word, control_word_read_back(FPU_CONTROL_WORD));
  EXPECT_TRUE(main_call.shared_zero);
  const uint32_t zero_globals[3] = {};
  EXPECT_EQ(memcmp(main_call.globals, zero_globals, sizeof zero_globals), 0);
  // The reset clears the globals and nothing beside them: the header copy below and the
  // constants above keep their bytes.
  EXPECT_EQ(data_header_copy()->globals_size, DATA_GLOBALS_SIZE);
  EXPECT_EQ(memcmp(data_constants(), pattern().bytes, DATA_CONSTANTS_SIZE), 0);
}

TEST_F(MainSequenceTest, OtherEntryReasonsCallTheMainProcedureWithoutAReset) {
  for (uint32_t reason : {0u, 2u, 3u}) {
    prepare_with_bytes_set();
    process_state()->entry_reason = reason;
    fpu_load_control_word(kDefaultControlWord);
    main_call = MainCall{};
    main_sequence();
    EXPECT_EQ(main_call.calls, 1) << reason;
    EXPECT_FALSE(main_call.shared_zero) << reason;
    for (uint32_t word : main_call.globals) EXPECT_EQ(word, 0xA5A5A5A5u) << reason;
    EXPECT_EQ(main_call.control_word, control_word_read_back(kDefaultControlWord)) << reason;
  }
}

TEST_F(MainSequenceTest, StartUpThenTheMainSequenceGiveTheHostsStartValues) {
  // The stored image, and bytes in the globals area that the move of the image leaves alone.
  unsigned char* base = data_section_base();
  store_image(base, pattern());
  memset(base + DATA_GLOBALS_OFFSET, 0xA5, DATA_GLOBALS_SIZE);
  const int blocks = host_os.global_blocks_live;
  uint32_t opened = 1;
  on_new_thread([&] {
    fpu_load_control_word(kDefaultControlWord);
    opened = startup_open();
    if (opened != 0) return;
    main_sequence();
    startup_close(true);
  });
  ASSERT_EQ(opened, 0u);
  EXPECT_EQ(main_call.calls, 1);
  EXPECT_EQ(main_call.instance, GetModuleHandleA(nullptr));
  EXPECT_EQ(main_call.previous, 0u);
  EXPECT_EQ(main_call.tail, command_line_tail(GetCommandLineA()));
  EXPECT_EQ(main_call.show, static_cast<uint32_t>(SW_SHOWDEFAULT));
  EXPECT_EQ(main_call.control_word, control_word_read_back(FPU_CONTROL_WORD));
  // The shared block held the count of start-up's own record before the reset.
  EXPECT_TRUE(main_call.shared_zero);
  for (uint32_t word : main_call.globals) EXPECT_EQ(word, 0u);
  // Closing released start-up's record and the TLS slot.
  EXPECT_EQ(host_os.global_blocks_live, blocks);
  EXPECT_EQ(TlsFree(process_state()->tls_index), 0);
}

TEST_F(MainSequenceTest, StartUpWithoutATlsSlotOrARecordGives255) {
  // A failed start-up closes with OLE uninitialised and nothing else released.
  const int ole = host_os.ole_initialized;
  uint32_t opened = 0;
  store_image(data_section_base(), pattern());
  {
    TlsAllocFails no_slot;
    on_new_thread([&] {
      opened = startup_open();
      startup_close(false);
    });
  }
  EXPECT_EQ(opened, 255u);
  EXPECT_EQ(process_state()->tls_index, TLS_OUT_OF_INDEXES);
  EXPECT_EQ(host_os.ole_initialized, ole);

  store_image(data_section_base(), pattern());
  opened = 0;
  {
    GlobalAllocFails no_record;
    on_new_thread([&] {
      opened = startup_open();
      EXPECT_EQ(TlsGetValue(process_state()->tls_index), nullptr);
      startup_close(false);
    });
  }
  EXPECT_EQ(opened, 255u);
  EXPECT_EQ(host_os.ole_initialized, ole);
  EXPECT_EQ(TlsFree(process_state()->tls_index), 1);  // the slot start-up took, still open
  EXPECT_EQ(main_call.calls, 0);
}

TEST_F(MainSequenceTest, FailedReleaseOfTheRecordKeepsTheSlot) {
  // The record cannot be freed: the slot stays allocated (it still names the record), and OLE
  // is uninitialised all the same.
  const int ole = host_os.ole_initialized;
  uint32_t opened = 0;
  store_image(data_section_base(), pattern());
  on_new_thread([&] {
    opened = startup_open();
    void* record = TlsGetValue(process_state()->tls_index);
    {
      GlobalFreeFails no_free;
      startup_close(true);
    }
    GlobalFree(record);  // the block the failed release kept
  });
  ASSERT_EQ(opened, 0u);
  EXPECT_EQ(host_os.ole_initialized, ole);
  EXPECT_EQ(TlsFree(process_state()->tls_index), 1);  // still allocated
}
}  // namespace
