// Fuzz target for the string temporaries: arbitrary sequences of pushes, joins, pops and resizes
// on one frame, with allocations failing where the input says, checked against a plain model of
// the stack (the expected bytes of every live temporary). After every step the stack holds what
// the model holds; at the end, with every temporary released, no string block is left.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/errors.hpp"
#include "runtime/os.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/support/host_switch.hpp"

namespace {

void fail(const char* what) {
  fprintf(stderr, "strings_fuzz: %s\n", what);
  abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int live_before = host_os.string_blocks_live;
  ProcedureFrame frame{};
  std::vector<std::string> model;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t op = data[i] % 8, arg = data[i + 1];
    // The top bit of the argument makes the operation's allocation fail.
    const bool failing = (arg & 0x80) != 0;
    HostSwitch<int> failure(host_os.string_allocs_until_failure, failing ? 0 : -1);
    const std::string text(reinterpret_cast<const char*>(data), (arg & 0x0F) % (i + 1));
    const bool room = model.size() < static_cast<size_t>(TEMP_SLOT_COUNT);
    const bool two = model.size() >= 2;
    switch (op) {
      case 0:
        if (!room) break;
        temp_push_copy(&frame, text.data(), static_cast<int32_t>(text.size()));
        model.push_back(failing && !text.empty() ? std::string() : text);
        break;
      case 1:
        if (!room) break;
        temp_push_cstring(&frame, text.c_str());
        model.push_back(failing ? std::string() : std::string(text.c_str()));
        break;
      case 2:
        if (!room) break;
        temp_push_crlf(&frame);
        model.push_back(failing ? std::string() : std::string("\r\n"));
        break;
      case 3:
        if (!room) break;
        temp_push_empty(&frame);
        model.push_back(std::string());
        break;
      case 4:
      case 5:
        if (!two) break;
        string_join(&frame);
        model[model.size() - 2] =
            failing && !(model[model.size() - 2] + model.back()).empty()
                ? std::string()
                : model[model.size() - 2] + model.back();
        model.pop_back();
        break;
      case 6:
        if (model.empty()) break;
        temp_pop_free(&frame);
        model.pop_back();
        break;
      case 7: {
        if (model.empty()) break;
        // Resize the top temporary in place on the stack.
        const int32_t n = arg & 0x1F;
        const DynString old = temp_peek(&frame, 0);
        frame.temp_slots[temp_count(&frame) - 1] = string_resize(old, n);
        std::string& top = model.back();
        top = failing && n != 0 ? std::string() : (top + std::string(n, '\0')).substr(0, n);
        break;
      }
    }
    if (temp_count(&frame) != static_cast<int>(model.size())) fail("stack depth");
    for (size_t k = 0; k < model.size(); ++k) {
      const StringView v = temp_view(&frame, static_cast<int>(model.size() - 1 - k));
      if (std::string(v.data, v.length) != model[k]) fail("temporary bytes");
      if (v.data[v.length] != 0) fail("terminator");
    }
  }
  while (temp_count(&frame) > 0) temp_pop_free(&frame);
  error_take(&frame);
  if (host_os.string_blocks_live != live_before) fail("leak");
  return 0;
}
