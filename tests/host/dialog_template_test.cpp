// The dialog template builder and the effective-style rules, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/dialog_template.hpp"

namespace {

constexpr unsigned char CANARY = 0xCC;

struct Built {
  std::vector<unsigned char> bytes;  // the whole buffer, canaries included
  int size;
  uint16_t u16(int offset) const { return bytes[offset] | bytes[offset + 1] << 8; }
  uint32_t u32(int offset) const { return u16(offset) | uint32_t(u16(offset + 2)) << 16; }
};

Built build(const std::string& caption, int32_t x = 0, int32_t y = 0, int32_t w = 105,
            int32_t h = 90, uint32_t style = 0, uint32_t ex_style = 0) {
  Built b;
  b.bytes.assign(DIALOG_TEMPLATE_MAX + 64, CANARY);
  b.size = dialog_template_build(b.bytes.data(), caption.data(),
                                 static_cast<uint32_t>(caption.size()), x, y, w, h, style,
                                 ex_style);
  return b;
}

// The font block after a title of n units: point size 8, then "MS Sans Serif" and its 0 unit.
void expect_font_block(const Built& b, int n) {
  EXPECT_EQ(b.u16(24 + 2 * n), 8);
  const char face[] = "MS Sans Serif";
  for (int i = 0; i < 13; ++i) EXPECT_EQ(b.u16(26 + 2 * n + 2 * i), face[i]) << i;
  EXPECT_EQ(b.u16(26 + 2 * n + 26), 0);
}

void expect_untouched_after(const Built& b) {
  for (size_t i = b.size; i < b.bytes.size(); ++i) ASSERT_EQ(b.bytes[i], CANARY) << i;
}

TEST(DialogTemplate, WholeTemplateByteForByte) {
  Built b = build("Ab", 10, 20, 105, 90, 0x00CF0800, 0x00000200);
  const unsigned char expected[] = {
      0x54, 0x08, 0xCF, 0x00,  // style 0x00CF0854
      0x00, 0x02, 0x00, 0x00,  // ex-style 0x200
      0x00, 0x00,              // no items
      0x0A, 0x00, 0x14, 0x00,  // x 10, y 20
      0x69, 0x00, 0x5A, 0x00,  // 105 by 90
      0x00, 0x00, 0x00, 0x00,  // no menu, the system's class
      'A', 0, 'b', 0, 0, 0,    // title
      0x08, 0x00,              // 8 points
      'M', 0, 'S', 0, ' ', 0, 'S', 0, 'a', 0, 'n', 0, 's', 0, ' ', 0,
      'S', 0, 'e', 0, 'r', 0, 'i', 0, 'f', 0, 0, 0};
  ASSERT_EQ(b.size, static_cast<int>(sizeof expected));
  EXPECT_EQ(b.size, 54 + 2 * 2);
  EXPECT_EQ(std::vector<unsigned char>(b.bytes.begin(), b.bytes.begin() + b.size),
            std::vector<unsigned char>(expected, expected + sizeof expected));
  expect_untouched_after(b);
}

TEST(DialogTemplate, EmptyOrAbsentCaptionIsOneBlank) {
  for (const char* caption : {"", static_cast<const char*>(nullptr)}) {
    std::vector<unsigned char> bytes(DIALOG_TEMPLATE_MAX, CANARY);
    int size = dialog_template_build(bytes.data(), caption, 0, 0, 0, 1, 1, 0, 0);
    Built b{bytes, size};
    EXPECT_EQ(size, 56);
    EXPECT_EQ(b.u16(22), 0x20);
    EXPECT_EQ(b.u16(24), 0);
    expect_font_block(b, 1);
  }
}

TEST(DialogTemplate, LongCaptionIsCutTo256Bytes) {
  for (size_t length : {255u, 256u, 257u, 300u, 100000u}) {
    std::string caption(length, '\0');
    for (size_t i = 0; i < length; ++i) caption[i] = static_cast<char>('a' + i % 26);
    Built b = build(caption);
    size_t n = length < 256 ? length : 256;
    EXPECT_EQ(b.size, static_cast<int>(54 + 2 * n)) << length;
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(b.u16(22 + 2 * i), caption[i]) << i;
    EXPECT_EQ(b.u16(22 + 2 * n), 0);
    expect_font_block(b, static_cast<int>(n));
    expect_untouched_after(b);
  }
  EXPECT_EQ(build(std::string(300, 'x')).size, DIALOG_TEMPLATE_MAX);
}

TEST(DialogTemplate, BytesWidenWithoutCodePage) {
  std::string caption;
  for (int c = 1; c < 256; ++c) caption += static_cast<char>(c);
  Built b = build(caption);
  for (int c = 1; c < 256; ++c) ASSERT_EQ(b.u16(22 + 2 * (c - 1)), c) << c;  // 0xE9 -> U+00E9
}

TEST(DialogTemplate, ZeroByteEndsTheTitle) {
  // The system reads the title up to its first 0 unit: the font block must follow right there.
  Built z = build(std::string("ab\0cd", 5));
  EXPECT_EQ(z.size, 58);
  EXPECT_EQ(z.u16(22), 'a');
  EXPECT_EQ(z.u16(24), 'b');
  EXPECT_EQ(z.u16(26), 0);
  expect_font_block(z, 2);
  expect_untouched_after(z);
  Built lead = build(std::string("\0x", 2));
  EXPECT_EQ(lead.size, 56);
  EXPECT_EQ(lead.u16(22), 0x20);
  expect_font_block(lead, 1);
}

// The C-string form of dialog_create works on a copy of its caption: the same bytes up to the
// first zero byte, at most 257 (the template's 256 and the one after them, which tells whether
// the 256th ends a character), with a zero byte after them. The copy gives the same template and
// the same reset length as the caption itself.
TEST(DialogTemplate, CaptionCopyTakesWhatTheTemplateAndTheCutNeed) {
  const std::string long_caption(300, 'q');
  const std::string exactly(256, 'r');
  const std::string one_more(257, 's');
  // 255 ASCII bytes, then a two-byte character: the template's 256 bytes end inside it.
  const std::string split = std::string(255, 'x') + "\xC3\xA9" + "tail";
  // 254, then a three-byte character: its last byte is the 257th.
  const std::string split_three = std::string(254, 'y') + "\xE2\x82\xAC" + "more";
  struct Case {
    const char* name;
    const char* caption;
    std::string expected;
  };
  const Case cases[] = {
      {"null", nullptr, ""},
      {"empty", "", ""},
      {"short", "Hello", "Hello"},
      {"bytes above 0x7F", "caf\xC3\xA9", "caf\xC3\xA9"},
      {"256 bytes", exactly.c_str(), exactly},
      {"257 bytes", one_more.c_str(), one_more},
      {"300 bytes", long_caption.c_str(), std::string(257, 'q')},
      {"a character across the 256th byte", split.c_str(), split.substr(0, 257)},
      {"a three-byte character across it", split_three.c_str(), split_three.substr(0, 257)},
  };
  for (const Case& c : cases) {
    char title[DIALOG_CAPTION_COPY + 1];
    std::memset(title, 'z', sizeof title);
    uint32_t n = dialog_caption_copy(*reinterpret_cast<char(*)[DIALOG_CAPTION_COPY]>(title),
                                     c.caption);
    EXPECT_EQ(n, c.expected.size()) << c.name;
    EXPECT_EQ(std::string(title, n), c.expected) << c.name;
    EXPECT_EQ(title[n], 0) << c.name;
    EXPECT_EQ(title[DIALOG_CAPTION_COPY], 'z') << c.name << ": written past the copy";
    if (!c.caption) continue;
    const uint32_t length = static_cast<uint32_t>(std::strlen(c.caption));
    EXPECT_EQ(build(std::string(title, n)).bytes, build(c.caption).bytes) << c.name;
    for (bool utf8 : {false, true}) {
      EXPECT_EQ(dialog_caption_reset_length(title, n, utf8),
                dialog_caption_reset_length(c.caption, length, utf8))
          << c.name << (utf8 ? ", UTF-8" : ", another code page");
    }
  }
  // Where the template's bytes end inside a character, the reset is cut before it.
  EXPECT_EQ(dialog_caption_reset_length(split.c_str(), 257, true), 255u);
  EXPECT_EQ(dialog_caption_reset_length(split_three.c_str(), 257, true), 254u);
}

struct GeometryCase {
  int32_t x, y, width, height;
  uint16_t tx, ty, tcx, tcy;
};

TEST(DialogTemplate, GeometryKeepsLow16Bits) {
  const GeometryCase cases[] = {
      {0, 0, 105, 90, 0, 0, 0x0069, 0x005A},
      {-1, 20, 65536 + 10, 90, 0xFFFF, 20, 10, 90},
      {10, -1, 0, -2, 10, 0xFFFF, 0, 0xFFFE},
      {0x12345, -65536, 0x7FFFFFFF, INT32_MIN, 0x2345, 0, 0xFFFF, 0},
  };
  for (const GeometryCase& c : cases) {
    Built b = build("T", c.x, c.y, c.width, c.height);
    EXPECT_EQ(b.u16(10), c.tx);
    EXPECT_EQ(b.u16(12), c.ty);
    EXPECT_EQ(b.u16(14), c.tcx);
    EXPECT_EQ(b.u16(16), c.tcy);
    EXPECT_EQ(b.u16(8), 0);   // items
    EXPECT_EQ(b.u16(18), 0);  // menu
    EXPECT_EQ(b.u16(20), 0);  // class
  }
}

struct StyleCase {
  uint32_t style;
  int32_t x, y;
  uint32_t effective;
};

TEST(DialogTemplate, EffectiveStyle) {
  const StyleCase cases[] = {
      {0, 10, 20, 0x80C000D4},           // default
      {0, -1, 20, 0x80C008D4},           // centred by x
      {0, 10, -1, 0x80C008D4},           // centred by y
      {0, -1, -1, 0x80C008D4},
      {0x00CF0800, 0, 0, 0x00CF0854},    // the application's style
      {0x10CF0000, 0, 0, 0x00CF0054},    // WS_VISIBLE removed
      {0x00000002, 0, 0, 0x00000054},    // DS_SYSMODAL removed, WS_POPUP not added
      {0xFFFFFFFF, 0, 0, 0xEFFFFFFD},    // only the removed bits go
      {0x00000001, 0x0000FFFF, 0, 0x00000055},  // only a whole -1 centres
      {0x00000001, 0, -65537, 0x00000055},
  };
  for (const StyleCase& c : cases) {
    EXPECT_EQ(dialog_effective_style(c.style, c.x, c.y), c.effective) << std::hex << c.style;
    Built b = build("T", c.x, c.y, 1, 1, c.style, 0xDEADBEEF);
    EXPECT_EQ(b.u32(0), c.effective);
    EXPECT_EQ(b.u32(4), 0xDEADBEEFu);  // ex-style unchanged
  }
}

}  // namespace
