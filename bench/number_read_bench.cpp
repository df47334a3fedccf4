// Text to number and the display formats against the libraries, in one run on the same values.
//
// Reading: one million texts of each of two sets, made once from a fixed seed: "typed" (what
// people type into a text box: up to 8 digits, 0 to 4 decimals, a sign now and then) and
// "printed" (random doubles of every magnitude printed with 17 significant digits, the hardest
// common case). Each is read by number_parse_double, number_parse (the 80-bit working value),
// fast_float, std::from_chars and strtod (and strtold beside the 80-bit reader).
//
// Writing: one million amounts (0 to 10^7 with cents, as doubles) with 2 decimals by
// number_format_fixed, std::to_chars (fixed, 2) and snprintf("%.2f"); and with 6 significant
// digits by number_format_significant, std::to_chars (general, 6) and snprintf("%.6g").
//
// Every iteration works through the whole million; the counter per_value is one value's time.
#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "dialogkit/runtime/numread.hpp"
#include "dialogkit/runtime/numshow.hpp"

namespace {

constexpr int COUNT = 1000000;

struct Texts {
  std::vector<char> bytes;       // every text, each followed by a zero byte
  std::vector<uint32_t> starts;  // where each begins
  std::vector<uint32_t> lengths;
};

Texts make_texts(bool printed) {
  std::mt19937_64 rng(printed ? 2 : 1);
  Texts t;
  char text[64];
  for (int i = 0; i < COUNT; ++i) {
    int n;
    if (printed) {
      uint64_t bits = rng() & ~(1ull << 63);
      if ((bits >> 52) == 0x7FF) bits ^= 1ull << 62;
      double v;
      memcpy(&v, &bits, 8);
      n = snprintf(text, sizeof text, "%.17g", v);
    } else {
      const uint64_t whole = rng() % 100000000 / (1 + rng() % 10000);
      const int decimals = static_cast<int>(rng() % 5);
      n = snprintf(text, sizeof text, "%s%llu", rng() % 8 == 0 ? "-" : "", static_cast<unsigned long long>(whole));
      if (decimals > 0) {
        n += snprintf(text + n, sizeof text - n, ".");
        for (int k = 0; k < decimals; ++k) text[n++] = static_cast<char>('0' + rng() % 10);
      }
    }
    t.starts.push_back(static_cast<uint32_t>(t.bytes.size()));
    t.lengths.push_back(static_cast<uint32_t>(n));
    t.bytes.insert(t.bytes.end(), text, text + n);
    t.bytes.push_back(0);
  }
  return t;
}

const Texts& texts(bool printed) {
  static const Texts typed = make_texts(false), all_printed = make_texts(true);
  return printed ? all_printed : typed;
}

void per_value(benchmark::State& state) {
  state.counters["per_value"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * COUNT,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class Read>
void read_all(benchmark::State& state, Read read) {
  const Texts& t = texts(state.range(0) != 0);
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < COUNT; ++i) sum += read(&t.bytes[t.starts[i]], t.lengths[i]);
    benchmark::DoNotOptimize(sum);
  }
  per_value(state);
}

void BM_Read_ThisParser_Double(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t n) {
    NumberScan scan;
    return number_parse_double(s, n, &scan);
  });
}
void BM_Read_FastFloat(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t n) {
    double v;
    fast_float::from_chars(s, s + n, v);
    return v;
  });
}
void BM_Read_FromChars(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t n) {
    double v;
    std::from_chars(s, s + n, v);
    return v;
  });
}
void BM_Read_Strtod(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t) { return strtod(s, nullptr); });
}
void BM_Read_ThisParser_Extended(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t n) {
    NumberScan scan;
    return static_cast<double>(number_parse(s, n, &scan));
  });
}
void BM_Read_Strtold(benchmark::State& state) {
  read_all(state, [](const char* s, uint32_t) { return static_cast<double>(strtold(s, nullptr)); });
}

// Arguments: 0 typed texts, 1 printed doubles.
BENCHMARK(BM_Read_ThisParser_Double)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_FastFloat)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_FromChars)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Strtod)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_ThisParser_Extended)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Strtold)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

const std::vector<double>& amounts() {
  static const std::vector<double> v = [] {
    std::mt19937_64 rng(3);
    std::vector<double> a;
    for (int i = 0; i < COUNT; ++i) a.push_back(static_cast<double>(rng() % 1000000000) / 100.0);
    return a;
  }();
  return v;
}

template <class Write>
void write_all(benchmark::State& state, Write write) {
  const std::vector<double>& a = amounts();
  char buffer[NUMBER_FORMAT_BUFFER];
  for (auto _ : state) {
    int total = 0;
    for (int i = 0; i < COUNT; ++i) total += write(a[i], buffer);
    benchmark::DoNotOptimize(total);
  }
  per_value(state);
}

void BM_Write2_ThisFormat(benchmark::State& state) {
  write_all(state, [](double v, char* b) { return number_format_fixed(v, 2, 0, b); });
}
void BM_Write2_ToChars(benchmark::State& state) {
  write_all(state, [](double v, char* b) {
    return static_cast<int>(std::to_chars(b, b + NUMBER_FORMAT_BUFFER, v, std::chars_format::fixed, 2).ptr - b);
  });
}
void BM_Write2_Snprintf(benchmark::State& state) {
  write_all(state, [](double v, char* b) { return snprintf(b, NUMBER_FORMAT_BUFFER, "%.2f", v); });
}
void BM_Write6g_ThisFormat(benchmark::State& state) {
  write_all(state, [](double v, char* b) { return number_format_significant(v, 6, 0, b); });
}
void BM_Write6g_ToChars(benchmark::State& state) {
  write_all(state, [](double v, char* b) {
    return static_cast<int>(std::to_chars(b, b + NUMBER_FORMAT_BUFFER, v, std::chars_format::general, 6).ptr - b);
  });
}
void BM_Write6g_Snprintf(benchmark::State& state) {
  write_all(state, [](double v, char* b) { return snprintf(b, NUMBER_FORMAT_BUFFER, "%.6g", v); });
}

BENCHMARK(BM_Write2_ThisFormat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write2_ToChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write2_Snprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write6g_ThisFormat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write6g_ToChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write6g_Snprintf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
