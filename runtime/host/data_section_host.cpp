// The host build's data section: a zeroed 4096-byte area in the program's static data (below
// 4 GiB, as the host build links without position independence).
#include "dialogkit/runtime/data_image.hpp"

extern "C" __attribute__((aligned(16))) unsigned char runtime_data_section[DATA_SECTION_SIZE];
unsigned char runtime_data_section[DATA_SECTION_SIZE];
