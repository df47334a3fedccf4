// Fault injection: fault_session.exe (programs/fault_session.cpp) is run once to count its calls
// of each import of fault_plan.hpp, then once for each of those calls with that call refused, and
// once for each with every call of its kind from it on refused, each run its own process. Every
// run must end by itself (no hang), without a crash, with what the session checked in order (no
// owner left disabled, no dialog left, the run-time error or empty result the operation promises)
// and having come to its end, or, when start-up's own allocation was refused, with start-up's
// exit code 255. The table of outcomes and the number of refused calls go to the test's output.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/programs/fault_plan.hpp"
#include "tests/win32/support/test_support.hpp"

namespace {

const char* const kind_names[] = {
#define FAULT_KIND_NAME(name, module) #name,
    FAULT_KINDS(FAULT_KIND_NAME)
#undef FAULT_KIND_NAME
};

enum class Outcome { Survived, Crashed, Hung, LeftWrong };

struct Plan {
  uint32_t kind, k, every;
  std::string report_file;
  HANDLE process = nullptr;
  DWORD started = 0;
};

struct Finished {
  Outcome outcome;
  FaultReport report;
  bool reported;
  DWORD exit_code;
};

// A run that takes this long hangs: one takes under a second on an idle machine, several on a
// busy one.
constexpr DWORD HANG_MS = 60000;

bool start(Plan& run) {
  std::string path = program_directory() + "fault_session.exe";
  run.report_file = program_directory() + "fault_" + std::to_string(run.kind) + "_" + std::to_string(run.k) + "_" +
                    std::to_string(run.every) + ".report";
  DeleteFileA(run.report_file.c_str());
  std::string line = "\"" + path + "\" " + std::to_string(run.kind) + " " + std::to_string(run.k) + " " +
                     std::to_string(run.every) + " " + run.report_file;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  run.process = pi.hProcess;
  run.started = GetTickCount();
  return true;
}

Finished finish(Plan& run, bool hung) {
  Finished f = {};
  if (hung) TerminateProcess(run.process, 99);
  WaitForSingleObject(run.process, INFINITE);
  GetExitCodeProcess(run.process, &f.exit_code);
  CloseHandle(run.process);
  HANDLE file = CreateFileA(run.report_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD read = 0;
    ReadFile(file, &f.report, sizeof f.report, &read, nullptr);
    f.reported = read == sizeof f.report && f.report.magic == FAULT_REPORT_MAGIC;
    CloseHandle(file);
    DeleteFileA(run.report_file.c_str());
  }
  bool startup_refused = run.kind == FAULT_GlobalAlloc && run.k == 1;
  if (hung)
    f.outcome = Outcome::Hung;
  else if (!f.reported || f.exit_code >= 0xC0000000u || f.exit_code == 0xC0DE)
    f.outcome = Outcome::Crashed;
  else if (f.report.wrong)
    f.outcome = Outcome::LeftWrong;
  else if (f.exit_code == 255)
    f.outcome = startup_refused ? Outcome::Survived : Outcome::LeftWrong;
  else if (f.exit_code != 0 || !f.report.session_ended)
    f.outcome = Outcome::LeftWrong;
  else
    f.outcome = Outcome::Survived;
  return f;
}

// Runs every plan, two processes at a time (the machine's two processors), and gives each its
// result in order.
std::vector<Finished> run_all(std::vector<Plan> runs) {
  std::vector<Finished> results(runs.size());
  std::vector<size_t> running;
  size_t next = 0;
  while (next < runs.size() || !running.empty()) {
    while (running.size() < 2 && next < runs.size()) {
      if (start(runs[next])) {
        running.push_back(next);
      } else {
        ADD_FAILURE() << "cannot start fault_session.exe";
        results[next].outcome = Outcome::Crashed;
      }
      ++next;
    }
    if (running.empty()) continue;
    std::vector<HANDLE> handles;
    for (size_t i : running) handles.push_back(runs[i].process);
    DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, 200);
    for (size_t j = 0; j < running.size(); ++j) {
      Plan& run = runs[running[j]];
      bool done = woke == WAIT_OBJECT_0 + j;
      bool hung = !done && GetTickCount() - run.started > HANG_MS;
      if (!done && !hung) continue;
      results[running[j]] = finish(run, hung);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(j));
      break;
    }
  }
  return results;
}

const char* outcome_name(Outcome o) {
  switch (o) {
    case Outcome::Survived: return "survived";
    case Outcome::Crashed: return "crashed";
    case Outcome::Hung: return "hung";
    case Outcome::LeftWrong: return "left wrong";
  }
  return "?";
}

// How long the runs may take together, about: where one process takes long to start (32-bit
// Wine under an emulator takes most of a minute, a busy machine several seconds), the calls
// refused are a sample, evenly spread over each kind's calls (the first always among them, the
// last too where two or more are refused), both ways of refusing each. FAULT_INJECTION_ALL=1 in the environment runs them all.
constexpr double BUDGET_SECONDS = 60;

// The calls of a kind to refuse: all `calls` of them, or `most` evenly spread.
std::vector<uint32_t> calls_to_refuse(uint32_t calls, uint32_t most) {
  std::vector<uint32_t> ks;
  if (calls <= most) {
    for (uint32_t k = 1; k <= calls; ++k) ks.push_back(k);
    return ks;
  }
  for (uint32_t i = 0; i < most; ++i) {
    uint32_t k = most == 1 ? 1 : 1 + i * (calls - 1) / (most - 1);
    if (ks.empty() || ks.back() != k) ks.push_back(k);
  }
  return ks;
}

TEST(FaultInjection, EveryRefusedCallIsSurvived) {
  DWORD began = GetTickCount();
  std::vector<Finished> counted = run_all({Plan{FAULT_KIND_COUNT, 0, 0, {}}});
  double one_run = (GetTickCount() - began) / 1000.0;
  ASSERT_EQ(counted[0].outcome, Outcome::Survived)
      << "the session without refusals: exit code " << counted[0].exit_code << ", wrong " << counted[0].report.wrong;
  const FaultReport& plain = counted[0].report;
  uint32_t all = 0, most = 0;
  for (uint32_t kind = 0; kind < FAULT_KIND_COUNT; ++kind) {
    all += 2 * plain.calls[kind];
    most = plain.calls[kind] > most ? plain.calls[kind] : most;
  }
  // Two processes run at a time.
  char all_asked[4] = "";
  GetEnvironmentVariableA("FAULT_INJECTION_ALL", all_asked, sizeof all_asked);
  while (most > 1 && all_asked[0] != '1') {
    uint32_t planned = 0;
    for (uint32_t kind = 0; kind < FAULT_KIND_COUNT; ++kind)
      planned += 2 * static_cast<uint32_t>(calls_to_refuse(plain.calls[kind], most).size());
    if (planned * one_run / 2 <= BUDGET_SECONDS) break;
    --most;
  }
  std::vector<Plan> runs;
  for (uint32_t kind = 0; kind < FAULT_KIND_COUNT; ++kind)
    for (uint32_t every = 0; every <= 1; ++every)
      for (uint32_t k : calls_to_refuse(plain.calls[kind], most)) runs.push_back(Plan{kind, k, every, {}});
  if (runs.size() < all)
    printf("fault injection: one run takes %.1f s here: %zu of the %u runs, each kind's calls evenly spread\n",
           one_run, runs.size(), all);
  std::vector<Finished> results = run_all(runs);

  struct Row {
    uint32_t runs = 0, refused = 0, counts[4] = {};
  } rows[FAULT_KIND_COUNT];
  uint32_t refused = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const Plan& run = runs[i];
    const Finished& f = results[i];
    Row& row = rows[run.kind];
    ++row.runs;
    ++row.counts[static_cast<int>(f.outcome)];
    if (f.reported) {
      row.refused += f.report.refused;
      refused += f.report.refused;
    }
    if (f.outcome != Outcome::Survived)
      ADD_FAILURE() << kind_names[run.kind] << " call " << run.k << (run.every ? " and every later one" : " only")
                    << " refused: " << outcome_name(f.outcome) << " (exit code " << f.exit_code << ", wrong 0x"
                    << std::hex << f.report.wrong << std::dec << " at check " << f.report.first_wrong_check << ", ended " << f.report.session_ended << ")";
  }
  // Every line begins "fault injection:", for the test command to find in the tests' log.
  printf("fault injection: %u calls refused in %zu runs\n", refused, runs.size());
  printf("fault injection: %-28s %6s %6s %8s %9s %8s %5s %11s\n", "kind", "calls", "runs", "refused", "survived",
         "crashed", "hung", "left wrong");
  for (uint32_t kind = 0; kind < FAULT_KIND_COUNT; ++kind) {
    const Row& r = rows[kind];
    printf("fault injection: %-28s %6u %6u %8u %9u %8u %5u %11u\n", kind_names[kind], plain.calls[kind], r.runs,
           r.refused, r.counts[0], r.counts[1], r.counts[2], r.counts[3]);
  }
  EXPECT_GT(refused, 0u);
}

}  // namespace
