// dialogkit-driver: drives a running program's dialog from outside, as a user would, for tests of
// one's own program. It runs a list of actions in order, in one process, each on the dialog found
// by its caption: a visible top-level dialog of that caption in another process, waited for up to
// a timeout. Each action prints one line with its outcome; the first that fails ends the run with
// exit code 1 (2 for a list it cannot read).
//
//   dialogkit-driver ACTION... , for instance
//   dialogkit-driver wait "To-do" set 100 "Buy milk" click 101 expect-text 104 "Items: 1" close
//
// The actions are listed in usage() below. Texts are printed in double quotes with \r, \n, \t, \"
// and \\ escaped; texts given to it are taken as they are. Texts are UTF-8, in and out, whatever
// the code page of the driver or of the program it drives: it reads its arguments and the
// program's texts in UTF-16 and converts them itself.
//
// A 64-bit program: it drives 32-bit and 64-bit programs alike, when it runs in the same Wine
// prefix (or Windows session) as they do.
//
// The parts: main.cpp (this file) reads the list and runs it through the table of actions;
// actions.cpp and keyboard.cpp hold the actions, screenshot.cpp the screenshot's BMP writer;
// tools/remote/ finds the dialog, reads its texts and converts dialog units.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include "tools/driver/driver.hpp"

namespace {

void usage() {
  printf(
      "usage: dialogkit-driver ACTION...\n"
      "  wait CAPTION           wait for a visible dialog titled CAPTION of another program; the\n"
      "                         actions after it act on that dialog\n"
      "  wait-any               wait for any other program's visible dialog and act on it\n"
      "  timeout SECONDS        how long the actions after it wait, 1 s at least (10 s; a first\n"
      "                         wait 90 s)\n"
      "  text ID                print control ID's text\n"
      "  expect-text ID TEXT    wait until control ID shows TEXT\n"
      "  set ID TEXT            set control ID's text\n"
      "  command ID             send the dialog the command ID, as control ID sends it or, when\n"
      "                         there is no such control, as a menu item does; returns at once\n"
      "                         when it opens a dialog of its own, naming its caption\n"
      "  click ID               click button ID (BM_CLICK); it must be visible and enabled; returns\n"
      "                         at once when it opens a dialog of its own\n"
      "  key NAME               press a key on the keyboard, with the dialog in front: Enter, Escape,\n"
      "                         Tab, Space, Backspace, Delete, Home, End, PageUp, PageDown, Up, Down,\n"
      "                         Left, Right, F1-F12, a letter or digit, each with Shift+, Ctrl+ or\n"
      "                         Alt+ before it (Shift+Tab, Alt+F)\n"
      "  type TEXT              type TEXT on the keyboard into the control that has the focus\n"
      "  type-into ID TEXT      give control ID the focus and type TEXT into it\n"
      "  focus ID               give control ID the focus, as the dialog manager does\n"
      "  focused                print the identifier and class of the control that has the focus\n"
      "  front                  bring the dialog to the front (activate it), as starting it from a\n"
      "                         desktop does; the keyboard's actions do it themselves\n"
      "  expect-focus ID        wait until control ID has the focus\n"
      "  expect-menu            wait until the program shows an open menu\n"
      "  expect-closed          wait until the dialog is gone (the program may still run)\n"
      "  select ID N            select item N (from 1; 0: none) of list or combo box ID, with the\n"
      "                         notification a user's choice sends\n"
      "  items ID               print the number of items of list or combo box ID and their texts\n"
      "  expect-count ID N      wait until list or combo box ID holds N items\n"
      "  expect-item ID N TEXT  wait until item N (from 1) of list or combo box ID is TEXT\n"
      "  expect-selected ID N   wait until item N (0: none) is the one selected in list or combo box ID\n"
      "  resize W H             size the dialog so that its client area is W by H pixels\n"
      "  rect ID                print control ID's rectangle (ID -1: the client area) in client\n"
      "                         pixels and in dialog units\n"
      "  expect-rect ID X Y W H wait until control ID's rectangle is X, Y, W by H dialog units\n"
      "  expect-rect-change ID DX DY DW DH\n"
      "                         wait until control ID's rectangle differs from its last reading\n"
      "                         (rect ID) by DX, DY, DW by DH pixels; each a number or cw / ch, the\n"
      "                         client area's change of width / height since rect -1, met to\n"
      "                         within a dialog unit\n"
      "  screenshot FILE        write the dialog's window, as the screen shows it, to FILE (BMP)\n"
      "  close [CODE]           close request (SC_CLOSE); wait for the program to end with exit\n"
      "                         code CODE (0 unless given)\n"
      "  expect-exit [CODE]     wait for the program to end with exit code CODE (0 unless given)\n");
}

// The actions by name, the types of their arguments, and whether they act on the dialog.
struct ActionKind {
  const char* name;
  // One per argument: 'n' a number, 't' a text (quoted in the report), 'd' a change (a number,
  // cw, ch), 'k' a key's name.
  const char* argument_types;
  // An exit code may follow (close, expect-exit): a number after it is taken as one.
  bool exit_code_may_follow;
  bool on_dialog;
  bool (*run)(Action*);
};
const ActionKind kinds[] = {
    {"wait", "t", false, false, act_wait},
    {"wait-any", "", false, false, act_wait},
    {"timeout", "n", false, false, act_timeout},
    {"text", "n", false, true, act_text},
    {"expect-text", "nt", false, true, act_expect_text},
    {"set", "nt", false, true, act_set},
    {"command", "n", false, true, act_command},
    {"click", "n", false, true, act_click},
    {"select", "nn", false, true, act_select},
    {"items", "n", false, true, act_items},
    {"expect-count", "nn", false, true, act_expect_count},
    {"expect-item", "nnt", false, true, act_expect_item},
    {"expect-selected", "nn", false, true, act_expect_selected},
    {"resize", "nn", false, true, act_resize},
    {"rect", "n", false, true, act_rect},
    {"expect-rect", "nnnnn", false, true, act_expect_rect},
    {"expect-rect-change", "ndddd", false, true, act_expect_rect_change},
    {"key", "k", false, true, act_key},
    {"type", "t", false, true, act_type},
    {"type-into", "nt", false, true, act_type_into},
    {"focus", "n", false, true, act_focus},
    {"focused", "", false, true, act_focused},
    {"front", "", false, true, act_front},
    {"expect-focus", "n", false, true, act_expect_focus},
    {"expect-menu", "", false, true, act_expect_menu},
    {"expect-closed", "", false, false, act_expect_closed},
    {"screenshot", "t", false, true, act_screenshot},
    {"close", "", true, true, act_close},
    {"expect-exit", "", true, false, act_expect_exit},
};

const ActionKind* kind_of(const std::string& name) {
  for (const ActionKind& k : kinds)
    if (name == k.name) return &k;
  return nullptr;
}

// The action as it was given, its texts quoted, and what came of it.
void report(const Action& a) {
  std::string line = a.words[0];
  for (size_t i = 1; i < a.words.size(); ++i)
    line += " " + (a.argument_types[i - 1] == 't' ? quoted(a.words[i]) : a.words[i]);
  printf("%s: %s\n", line.c_str(), a.outcome.c_str());
}

// Reads the list into actions; false (after saying why) when it cannot.
bool parse(Driver* driver, int argc, char** argv, std::vector<Action>* actions) {
  for (int i = 1; i < argc;) {
    Action a;
    a.driver = driver;
    a.words.push_back(argv[i++]);
    const ActionKind* kind = kind_of(a.words[0]);
    if (!kind) {
      printf("dialogkit-driver: unknown action \"%s\"\n", a.words[0].c_str());
      return false;
    }
    a.argument_types = kind->argument_types;
    long code;
    if (kind->exit_code_may_follow && i < argc && number_of(argv[i], &code)) a.argument_types = "n";
    for (char type : a.argument_types) {
      long value;
      if (i >= argc) {
        printf("dialogkit-driver: %s needs %zu argument(s)\n", a.words[0].c_str(), a.argument_types.size());
        return false;
      }
      if (type == 'n' && !number_of(argv[i], &value)) {
        printf("dialogkit-driver: %s: \"%s\" is not a number\n", a.words[0].c_str(), argv[i]);
        return false;
      }
      a.words.push_back(argv[i++]);
    }
    actions->push_back(a);
  }
  return true;
}

// Runs one action; false when it failed. The actions on the dialog find it first.
bool run(Action* a) {
  const ActionKind* kind = kind_of(a->words[0]);
  Driver* d = a->driver;
  if (kind->on_dialog) {
    if (!d->caption_known) return fail(a, "no dialog yet: begin with wait CAPTION or wait-any");
    a->dialog = remote::dialog_find(d->caption.c_str(), dialog_wait_ms(d));
    if (!a->dialog) return fail(a, "the dialog " + quoted(d->caption) + " is not there; " + captions_seen());
    d->found_once = true;
  }
  return kind->run(a);
}

}  // namespace

// The arguments in UTF-8, from the UTF-16 command line: the ANSI one holds only what the code
// page can.
int wmain(int argc, wchar_t** wargv) {
  // Lines end in LF alone, as the shell that reads them expects, and each is out at once.
  _setmode(_fileno(stdout), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);
  std::vector<std::string> args;
  std::vector<char*> argv;
  for (int i = 0; i < argc; ++i) args.push_back(remote::utf8_of(wargv[i], static_cast<int>(wcslen(wargv[i]))));
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  if (argc < 2 || !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h")) {
    usage();
    return argc < 2 ? 2 : 0;
  }
  Driver driver;
  std::vector<Action> actions;
  if (!parse(&driver, argc, argv.data(), &actions)) {
    usage();
    return 2;
  }
  for (Action& a : actions) {
    run(&a);
    report(a);
    if (a.failed) return 1;
  }
  return 0;
}
