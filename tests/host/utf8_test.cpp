// Cutting UTF-8 text at a character's edge, and the caption a dialog is given again after its
// template: which captions, and how long.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/dialog_template.hpp"
#include "toolkit/utf8.hpp"

namespace {

uint32_t cut(const std::string& text, uint32_t limit) {
  return utf8_cut(text.data(), static_cast<uint32_t>(text.size()), limit);
}
uint32_t whole(const std::string& text) {
  return utf8_whole_length(text.data(), static_cast<uint32_t>(text.size()));
}

TEST(Utf8Cut, BacksOffToTheStartOfTheCharacterTheLimitWouldSplit) {
  struct Case {
    std::string text;
    uint32_t limit, expected;
  } cases[] = {
      {"abc", 5, 3},                        // shorter than the limit
      {"abc", 3, 3},                        // exactly the limit
      {"abcd", 3, 3},                       // ASCII: the limit itself
      {"a\xC3\xA9", 2, 1},                  // inside é (2 bytes)
      {"a\xC3\xA9", 3, 3},
      {"\xCE\xB1\xCE\xB2", 3, 2},           // αβ, after α
      {"x\xE2\x82\xAC", 2, 1},              // inside € (3 bytes), after its lead
      {"x\xE2\x82\xAC", 3, 1},              // inside €, after its second byte
      {"x\xF0\x9F\x98\x80y", 4, 1},         // inside U+1F600 (4 bytes), three bytes in
      {"x\xF0\x9F\x98\x80y", 5, 5},         // after it
      {"\x80\x80\x80\x80\x80", 2, 0},       // continuation bytes only: back to the start
      {"ab\x80\x80\x80\x80\x80", 6, 3},     // no more than three bytes back
      {"\xE9\xE9\xE9", 2, 2},               // Latin-1, not UTF-8: bytes above 0xBF start nothing
  };
  for (const Case& c : cases) EXPECT_EQ(cut(c.text, c.limit), c.expected) << c.text << " " << c.limit;
}

TEST(Utf8WholeLength, DropsOnlyALastCharacterCutShort) {
  struct Case {
    std::string text;
    uint32_t expected;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\xC3\xA9", 3},
      {"a\xC3", 1},
      {"a\xE2\x82", 1},
      {"a\xE2\x82\xAC", 4},
      {"a\xF0\x9F\x98", 1},
      {"\xF0\x9F\x98\x80", 4},
      {"\xCE\xB1\x80", 3},  // a stray continuation byte after a whole character stays
  };
  for (const Case& c : cases) EXPECT_EQ(whole(c.text), c.expected) << c.text;
}

TEST(DialogCaptionReset, OnlyACaptionBeyondAsciiIsSetAgainAsTheTemplateTakesIt) {
  std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3";  // αβγ
  std::string long_greek;
  for (int i = 0; i < 200; ++i) long_greek += "\xCE\xB1";  // 400 bytes
  std::string odd_greek = "a" + long_greek;                 // the 256th byte is a lead byte
  struct Case {
    std::string caption;
    bool utf8;
    uint32_t expected;
  } cases[] = {
      {"", true, 0},
      {"Resizing", true, 0},
      {std::string(300, 'a'), true, 0},
      {greek, true, 6},
      {greek, false, 6},
      {"Gr\xC3\xBC\xC3\x9F" "e", true, 7},
      {std::string("ab\0\xC3\xA9", 5), true, 0},  // the title ends at the zero byte
      {std::string("\xC3\xA9\0x", 4), true, 2},
      {long_greek, true, 256},
      {odd_greek, true, 255},   // the cut would split the 128th α
      {odd_greek, false, 256},  // an ANSI page: bytes, as the template
  };
  for (const Case& c : cases)
    EXPECT_EQ(dialog_caption_reset_length(c.caption.data(), static_cast<uint32_t>(c.caption.size()), c.utf8),
              c.expected)
        << c.caption.size() << " bytes, utf8 " << c.utf8;
  EXPECT_EQ(dialog_caption_reset_length(nullptr, 5, true), 0u);
}

}  // namespace
