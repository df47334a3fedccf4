// The program's data section: the one symbol name every program gives it, and its start.
#pragma once
#include <stdint.h>

// The program's data section, under the one symbol name every program gives it.
extern "C" unsigned char runtime_data_section[];

// The start of the data section. The section spans a whole page at run time although only its
// first 512 bytes are stored, so the address is laundered: nothing may assume the 512-byte bound.
inline unsigned char* data_section_base() {
  unsigned char* p = runtime_data_section;
  __asm__("" : "+r"(p));
  return p;
}
