// Start-up logic on the host: the command-line tail and the data image preparation.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/mman.h>

#include <string>

#include "runtime/data_image.hpp"
#include "runtime/process.hpp"
#include "runtime/startup.hpp"
#include "runtime/x87.hpp"

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
}  // namespace
