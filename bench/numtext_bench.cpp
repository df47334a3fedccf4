// Number to text against the C library's and the C++ library's conversions on one fixed set of
// mixed values (small integers, client sizes, decimals, large and tiny magnitudes), 15 digits, in
// one run; and the join of two short strings. Each iteration converts the whole set; the counter
// per_value is the time of one conversion. The runtime's conversion is checked to allocate
// nothing but its result string (every malloc of the process is counted). The host string
// allocator, like the system's, keeps freed small blocks for reuse: result_block measures it.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>

#include <charconv>
#include <vector>

#include "dialogkit/runtime/numtext.hpp"
#include "runtime/os.hpp"
#include "dialogkit/runtime/strings.hpp"

extern "C" void* __libc_malloc(size_t);
static long malloc_calls;
extern "C" void* malloc(size_t n) {
  ++malloc_calls;
  return __libc_malloc(n);
}

namespace {

const std::vector<long double>& values() {
  static const std::vector<long double> v = {
      0, 1, 7, 42, 100, 255, 1000, 65535, -5, -640,                          // small integers
      640, 480, 800, 600, 1024, 768, 300, 200, 1280, 1010,                   // client sizes
      0.5L, 1.5L, 0.1, 0.3, 3.14159, 123.456, -2.75L, 0.001, 99.99, 1.0L / 3,  // decimals
      1e15L, 6.02214076e23, 1e300, 1.7976931348623157e308, 12345678901234567.0L,  // large
      1e-5, 1.5e-15, 1e-300, 4.9406564584124654e-324, 2.2250738585072014e-308,    // tiny
  };
  return v;
}

void finish(benchmark::State& state) {
  const double n = static_cast<double>(values().size());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
  // Seconds per conversion, shown with an SI prefix (n for nanoseconds).
  state.counters["per_value"] = benchmark::Counter(
      n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_number_text_format(benchmark::State& state) {
  char buffer[32];
  for (auto _ : state)
    for (long double v : values()) {
      benchmark::DoNotOptimize(number_text_format(v, 15, buffer));
      benchmark::ClobberMemory();
    }
  finish(state);
}

// Whether the host string allocator serves a block of a size freed just before without a malloc
// of its own (it keeps freed small blocks, except in the sanitizer builds).
bool string_blocks_reused() {
  DynString reference;
  char* bytes;
  string_alloc(12, &reference, &bytes);
  string_free(reference);
  const long before = malloc_calls;
  string_alloc(12, &reference, &bytes);
  string_free(reference);
  return malloc_calls == before;
}

void BM_number_to_text(benchmark::State& state) {
  ProcedureFrame frame{};
  // One pass before the counting: the list of values is made, and the string allocator holds a
  // freed block of every size that the conversions need.
  for (long double v : values()) {
    number_to_text(&frame, v);
    temp_pop_free(&frame);
  }
  const bool reused = string_blocks_reused();
  const long allocs_before = host_os.string_allocs_total;
  const long mallocs_before = malloc_calls;
  for (auto _ : state)
    for (long double v : values()) {
      number_to_text(&frame, v);
      benchmark::DoNotOptimize(temp_peek(&frame, 0));
      temp_pop_free(&frame);
    }
  // One string per conversion; and no malloc at all but the string allocator's own, which then
  // has a block at hand for every string (or makes one malloc for each).
  const long conversions = static_cast<long>(state.iterations() * values().size());
  if (host_os.string_allocs_total - allocs_before != conversions ||
      malloc_calls - mallocs_before != (reused ? 0 : conversions) || frame.temp_index != 0)
    state.SkipWithError("number_to_text allocated more than its result strings");
  finish(state);
}

void BM_snprintf_Lg(benchmark::State& state) {
  char buffer[64];
  for (auto _ : state)
    for (long double v : values()) {
      benchmark::DoNotOptimize(snprintf(buffer, sizeof buffer, "%.15Lg", v));
      benchmark::ClobberMemory();
    }
  finish(state);
}

void BM_to_chars_double(benchmark::State& state) {
  char buffer[64];
  for (auto _ : state)
    for (long double v : values()) {
      auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                             std::chars_format::general, 15);
      benchmark::DoNotOptimize(r.ptr);
      benchmark::ClobberMemory();
    }
  finish(state);
}

// The part of number_to_text that is not conversion: the result's block from the string
// allocator and its release, for a text of a typical length.
void BM_result_block(benchmark::State& state) {
  for (auto _ : state) {
    DynString reference;
    char* bytes;
    string_alloc(12, &reference, &bytes);
    benchmark::DoNotOptimize(bytes);
    string_free(reference);
  }
}

void BM_string_join(benchmark::State& state) {
  ProcedureFrame frame{};
  for (auto _ : state) {
    temp_push_copy(&frame, "Width = ", 8);
    temp_push_copy(&frame, " 640", 4);
    string_join(&frame);
    benchmark::DoNotOptimize(temp_peek(&frame, 0));
    temp_pop_free(&frame);
  }
}

}  // namespace

BENCHMARK(BM_number_text_format);
BENCHMARK(BM_number_to_text);
BENCHMARK(BM_snprintf_Lg);
BENCHMARK(BM_to_chars_double);
BENCHMARK(BM_result_block);
BENCHMARK(BM_string_join);

int main(int argc, char** argv) {
  host_os_reset();
  {
    const uint16_t control_word = 0x133F;  // as start-up loads it
    __asm__ volatile("fldcw %0" : : "m"(control_word));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
