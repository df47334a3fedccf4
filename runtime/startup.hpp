// Process start-up and shutdown: ProcessState, the data image that start-up moves into its
// working place, the command-line tail, and the main sequence that calls the application.
#pragma once
#include "frame.hpp"
#include "os.hpp"
#include "platform.hpp"

// The runtime's shared variables, zeroed by runtime_reset.
struct SharedVariables {
  uint32_t empty_length;  // the zero word before shared_empty
  char shared_empty[4];   // shared_empty is the first byte: the text of every empty string
  int32_t live_records;   // ThreadState records stored in the TLS slot
  uint32_t reserved0;
  uintptr_t dialog_font;  // font of the most recently created dialog (the toolkit's)
  unsigned char reserved[64 - 16 - sizeof(uintptr_t)];
};
static_assert(sizeof(SharedVariables) == 64, "the shared variable block is 64 bytes");

struct ProcessState {
  SharedVariables shared;
  uint32_t tls_index;
  const char* environment;
  const char* command_tail;
  PlatformInfo platform;
  uint32_t show_state;
  uint16_t library_result;
  HINSTANCE instance;
  uint32_t entry_reason;
  OSVERSIONINFOA version;
};
static_assert(sizeof(OSVERSIONINFOA) == 148, "version record is 148 bytes");

// Build-time options: the word and the size of a ThreadState record.
enum : uint16_t { OPT_LIBRARY = 0x0004 };
struct BuildOptions {
  uint16_t word;
  uint32_t thread_state_size;
};
extern const BuildOptions build_options;

// The data section: 16 zero bytes, the header at 0x10, the stored image from 0x28; 4096 bytes at
// run time of which the first 512 are stored in the module.
struct DataImageHeader {
  uint32_t globals_size, globals_offset;
  uint32_t stored_size, stored_offset;
  uint32_t constants_size, constants_offset;
};
static_assert(sizeof(DataImageHeader) == 24, "six 32-bit words");

enum : uint32_t {
  DATA_SECTION_SIZE = 4096,
  DATA_STORED_SIZE = 512,
  DATA_HEADER_OFFSET = 0x10,
  DATA_IMAGE_OFFSET = 0x28,
  DATA_GLOBALS_SIZE = 12,
  DATA_GLOBALS_OFFSET = 0x2A4,
  DATA_STORED_AREA_OFFSET = 0x2B0,
  DATA_CONSTANTS_SIZE = 236,
  DATA_CONSTANTS_OFFSET = 0x2B0,
  DATA_HEADER_COPY_OFFSET = DATA_GLOBALS_OFFSET - sizeof(DataImageHeader),  // 0x28C
};
static_assert(sizeof(ProcessState) <= DATA_HEADER_COPY_OFFSET,
              "ProcessState lives below the header copy");

// The stored part of a program's data section, with the program's constants area in it.
template <class Constants>
struct DataImage {
  unsigned char zeros[16];
  DataImageHeader header;
  Constants constants;
  unsigned char padding[DATA_STORED_SIZE - DATA_IMAGE_OFFSET - sizeof(Constants)];
};

// Every program (the application, each test program) defines its data section with this macro;
// the initialiser is the program's constants area. The section holds nothing else. The object is
// typed by the program but carries the one symbol name the runtime knows it by.
#define RUNTIME_STRINGIFY2(x) #x
#define RUNTIME_STRINGIFY(x) RUNTIME_STRINGIFY2(x)
#define RUNTIME_DATA_SECTION(ConstantsType, ...)                                      \
  static_assert(sizeof(ConstantsType) == DATA_CONSTANTS_SIZE, "constants area size"); \
  __attribute__((section(".rtdata"), aligned(16), used)) DataImage<ConstantsType>    \
  program_data_image __asm__(RUNTIME_STRINGIFY(__USER_LABEL_PREFIX__) "runtime_data_section") = { \
      {},                                                                             \
      {DATA_GLOBALS_SIZE, DATA_GLOBALS_OFFSET, 0, DATA_STORED_AREA_OFFSET,            \
       DATA_CONSTANTS_SIZE, DATA_CONSTANTS_OFFSET},                                   \
      __VA_ARGS__,                                                                    \
      {}}

extern "C" unsigned char runtime_data_section[];

// The start of the data section. The section spans a whole page at run time although only its
// first 512 bytes are stored, so the address is laundered: nothing may assume the 512-byte bound.
inline unsigned char* data_section_base() {
  unsigned char* p = runtime_data_section;
  __asm__("" : "+r"(p));
  return p;
}
inline ProcessState* process_state() { return reinterpret_cast<ProcessState*>(data_section_base()); }

void data_image_prepare(unsigned char* base);
// After data_image_prepare: the header copy and the areas it gives absolute addresses for.
DataImageHeader* data_header_copy(unsigned char* base);
inline DataImageHeader* data_header_copy() { return data_header_copy(data_section_base()); }
inline unsigned char* data_globals() {
  return reinterpret_cast<unsigned char*>(static_cast<uintptr_t>(data_header_copy()->globals_offset));
}
inline const unsigned char* data_constants() {
  return reinterpret_cast<const unsigned char*>(
      static_cast<uintptr_t>(data_header_copy()->constants_offset));
}

const char* command_line_tail(const char* command_line);

constexpr uint16_t FPU_CONTROL_WORD = 0x133F;
void fpu_load_control_word(uint16_t word);
uint16_t fpu_read_control_word();

void runtime_reset();
void main_sequence();

// Start-up steps 1 to 11; returns 0, or the exit code 255 when the per-thread state cannot be had.
uint32_t startup_open();
// Shutdown steps 13 to 15.
void startup_close(bool thread_state_open);

// The application's main procedure.
int32_t app_main(HINSTANCE instance, uintptr_t previous, const char* command_tail,
                 uint32_t show_state);

extern "C" void program_entry();
