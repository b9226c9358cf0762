#include <gtest/gtest.h>

#include <string>

#include "platform/TextEncoding.h"

using namespace TextEncoding;

namespace {

std::string Hex(std::string_view s) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

#define EXPECT_BYTES(expected, actual) EXPECT_EQ(Hex(expected), Hex(actual))

// The same short Japanese text ("こんにちは、世界。" and a line end) in each encoding.
const std::string kSjis =
    "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x41\x90\xa2\x8a\x45\x81\x42\n";
const std::string kUtf8 = "こんにちは、世界。\n";
const std::string kEuc =
    "\xa4\xb3\xa4\xf3\xa4\xcb\xa4\xc1\xa4\xcf\xa1\xa2\xc0\xa4\xb3\xa6\xa1\xa3\n";
const std::string kJis = "\x1b$B$3$s$K$A$O!\"@$3&!#\x1b(B\n";
const std::string kUtf16Le("\xff\xfe\x53\x30\x93\x30\x6b\x30\x61\x30\x6f\x30\x0a\x00", 14);
const std::string kUtf16Be("\xfe\xff\x30\x53\x30\x93\x30\x6b\x30\x61\x30\x6f\x00\x0a", 14);
const std::string kSjisHello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\r\n";

}  // namespace

TEST(TextEncodingTest, DetectsEachEncodingOfRealText) {
  EXPECT_EQ(Detect(kSjis), TEncoding::Cp932);
  EXPECT_EQ(Detect(kUtf8), TEncoding::Utf8);
  EXPECT_EQ(Detect("\xEF\xBB\xBF" + kUtf8), TEncoding::Utf8Bom);
  EXPECT_EQ(Detect(kUtf16Le), TEncoding::Utf16Le);
  EXPECT_EQ(Detect(kUtf16Be), TEncoding::Utf16Be);
  EXPECT_EQ(Detect(kEuc), TEncoding::EucJp);
  EXPECT_EQ(Detect(kJis), TEncoding::Iso2022Jp);
  // Half-width katakana in EUC-JP text; the same katakana in code page 932 is not EUC-JP.
  EXPECT_EQ(Detect(kEuc + "\x8e\xb1\x8e\xb2"), TEncoding::EucJp);
  EXPECT_EQ(Detect("\xb1\xb2\xb3\xb4\xb5"), TEncoding::Cp932);
  // Kanji whose code page 932 bytes are also valid EUC-JP pairs: hiragana decide it.
  EXPECT_EQ(Detect("\xe6\xa8\xe6\xa8 \x82\xa0\x82\xa2"), TEncoding::Cp932);
  // Plain ASCII, an empty file and binary junk are the program's own code page.
  EXPECT_EQ(Detect("abc\r\n"), TEncoding::Cp932);
  EXPECT_EQ(Detect(""), TEncoding::Cp932);
  EXPECT_EQ(Detect("\xff\xfd\x80\x00"), TEncoding::Cp932);
  // UTF-8 must be strictly valid: an overlong slash or a surrogate is not UTF-8.
  EXPECT_NE(Detect("a\xC0\xAF"), TEncoding::Utf8);
  EXPECT_NE(Detect("a\xED\xA0\x80"), TEncoding::Utf8);
}

TEST(TextEncodingTest, EveryEncodingRoundTripsByteForByte) {
  struct Case {
    TEncoding encoding;
    std::string bytes;
  } cases[] = {{TEncoding::Utf8, kUtf8},
               {TEncoding::Utf8Bom, "\xEF\xBB\xBF" + kUtf8},
               {TEncoding::EucJp, kEuc},
               {TEncoding::Iso2022Jp, kJis}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Key(c.encoding));
    TReplacements r;
    std::string text = ToCp932(c.bytes, c.encoding, &r);
    EXPECT_BYTES(kSjis, text);
    EXPECT_EQ(r.Count, 0u);
    EXPECT_BYTES(c.bytes, FromCp932(text, c.encoding, &r));
    EXPECT_EQ(r.Count, 0u);
  }
  for (auto [encoding, bytes] :
       {std::pair{TEncoding::Utf16Le, kUtf16Le}, std::pair{TEncoding::Utf16Be, kUtf16Be}}) {
    std::string text = ToCp932(bytes, encoding);
    EXPECT_BYTES("\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\n", text);
    EXPECT_BYTES(bytes, FromCp932(text, encoding));
  }
  EXPECT_BYTES(kSjis, ToCp932(kSjis, TEncoding::Cp932));
}

TEST(TextEncodingTest, MicrosoftMappedCharactersGoBothWaysInJisEncodings) {
  // FULLWIDTH TILDE, circled one (NEC), a kanji of the IBM extension.
  const std::string sjis = "\x81\x60\x87\x40\xfb\xfc";
  const std::string euc = "\xa1\xc1\xad\xa1\x8f\xf4\xfb";
  EXPECT_BYTES(sjis, ToCp932(euc, TEncoding::EucJp));
  EXPECT_BYTES(euc, FromCp932(sjis, TEncoding::EucJp));
  // ISO-2022-JP's wave dash is the same code as code page 932's tilde.
  const std::string jis = "\x1b$B!A\x1b(B";
  TReplacements r;
  EXPECT_BYTES("\x81\x60", ToCp932(jis, TEncoding::Iso2022Jp, &r));
  EXPECT_EQ(r.Count, 0u);
  EXPECT_BYTES(jis, FromCp932("\x81\x60", TEncoding::Iso2022Jp, &r));
  EXPECT_EQ(r.Count, 0u);
}

TEST(TextEncodingTest, CharactersOutsideCodePage932BecomeReferencesAndAreReported) {
  TReplacements r;
  // Emoji, hangul, and a WAVE DASH that would come back as FULLWIDTH TILDE.
  std::string text = ToCp932("a😀b한c〜d～", TEncoding::Utf8, &r);
  EXPECT_EQ(text, "a&#128512;b&#54620;c&#12316;d\x81\x60");
  EXPECT_EQ(r.Count, 3u);
  EXPECT_EQ(r.First, (std::vector<char32_t>{0x1F600, 0xD55C, 0x301C}));
  EXPECT_EQ(CodePointName(r.First[0]), "U+1F600");
  // Only the first few are kept, all are counted.
  TReplacements many;
  ToCp932("😀😀😀😀😀😀😀", TEncoding::Utf8, &many);
  EXPECT_EQ(many.Count, 7u);
  EXPECT_EQ(many.First.size(), TReplacements::kKeep);
  // From UTF-16, a surrogate pair is one character.
  EXPECT_EQ(ToCp932(std::string("\xff\xfe\x3d\xd8\x00\xde", 6), TEncoding::Utf16Le), "&#128512;");
}

TEST(TextEncodingTest, WritingReplacesWhatTheTargetCannotHold) {
  TReplacements r;
  // Half-width katakana and the NEC circled one have no place in ISO-2022-JP.
  std::string jis = FromCp932("\xb1\x87\x40\x82\xa0", TEncoding::Iso2022Jp, &r);
  EXPECT_EQ(jis, "&#65393;&#9312;\x1b$B$\"\x1b(B");
  EXPECT_EQ(r.Count, 2u);
  // Bytes that are no code page 932 character become '?'; the byte after a stray lead
  // byte survives.
  TReplacements bad;
  EXPECT_EQ(FromCp932("a\x81 b\xff", TEncoding::Utf8, &bad), "a? b?");
  EXPECT_EQ(bad.Count, 2u);
  // Broken input of a multibyte encoding is reported, not dropped silently.
  TReplacements broken;
  EXPECT_EQ(ToCp932(std::string("\xff\xfe\x41\x00\x42", 5), TEncoding::Utf16Le, &broken),
            "A&#65533;");
  EXPECT_EQ(broken.Count, 1u);
}

TEST(TextEncodingTest, LineEndsRoundTripAndStrayBreaksStay) {
  struct Case {
    TLineEnd kind;
    std::string file;
    std::string crlf;
  } cases[] = {
      {TLineEnd::Lf, "a\nb\r\nc\rd\n", "a\r\nb\r\r\nc\rd\r\n"},
      {TLineEnd::Cr, "a\rb\r\nc", "a\r\nb\r\n\nc"},
      {TLineEnd::CrLf, "a\r\nb\nc\r", "a\r\nb\nc\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Key(c.kind));
    EXPECT_BYTES(c.crlf, ToCrLf(c.file, c.kind));
    EXPECT_BYTES(c.file, FromCrLf(c.crlf, c.kind));
  }
  EXPECT_EQ(ToCrLf(std::string("a\0b\n\0", 5), TLineEnd::Lf), "ab\r\n");
  EXPECT_EQ(ToCrLf(std::string("a\0b", 3), TLineEnd::CrLf), "ab");

  EXPECT_EQ(DetectLineEnd("ab\ncd\r\n", TLineEnd::CrLf), TLineEnd::Lf);
  EXPECT_EQ(DetectLineEnd("ab\r\ncd\n", TLineEnd::Lf), TLineEnd::CrLf);
  EXPECT_EQ(DetectLineEnd("ab\rcd", TLineEnd::Lf), TLineEnd::Cr);
  EXPECT_EQ(DetectLineEnd("abcd", TLineEnd::Lf), TLineEnd::Lf);
}

TEST(TextEncodingTest, DecodeGivesTextFormatAndReport) {
  TDecoded d = Decode("行1\n😀\n");
  EXPECT_EQ(d.Format, (TFileFormat{TEncoding::Utf8, TLineEnd::Lf}));
  EXPECT_BYTES("\x8d\x73\x31\n&#128512;\n", d.Text);
  EXPECT_EQ(d.Replaced.Count, 1u);

  TDecoded s = Decode(kSjisHello);
  EXPECT_EQ(s.Format, (TFileFormat{TEncoding::Cp932, TLineEnd::CrLf}));
  EXPECT_EQ(s.Text, kSjisHello);
  // Without a line break: Windows-born encodings CR LF, the others LF.
  EXPECT_EQ(Decode("abc").Format.LineEnd, TLineEnd::CrLf);
  EXPECT_EQ(Decode("é").Format.LineEnd, TLineEnd::Lf);
}

TEST(TextEncodingTest, LargeTextReportsProgressAndConvertsAcrossChunks) {
  // Three-byte characters across the 1 MiB chunk edges of the two-step conversion.
  std::string line = "あいうえお漢字テスト\n";
  std::string utf8;
  while (utf8.size() < 3u << 20) utf8 += line;
  std::string euc = FromCp932(ToCp932(utf8, TEncoding::Utf8), TEncoding::EucJp);
  uint64_t last = 0, calls = 0;
  std::string back = ToCp932(euc, TEncoding::EucJp, nullptr, [&](uint64_t done, uint64_t total) {
    EXPECT_GE(done, last);
    EXPECT_LE(done, total);
    last = done;
    ++calls;
  });
  EXPECT_GT(calls, 2u);
  EXPECT_EQ(FromCp932(back, TEncoding::Utf8), utf8);
  std::string u16 = FromCp932(back, TEncoding::Utf16Be);
  EXPECT_EQ(ToCp932(u16, TEncoding::Utf16Be), back);
}

TEST(TextEncodingTest, NamesAndKeysGoBothWays) {
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::Utf16Le,
                      TEncoding::Utf16Be, TEncoding::EucJp, TEncoding::Iso2022Jp}) {
    TEncoding back = TEncoding::Cp932;
    EXPECT_TRUE(ParseKey(Key(e), back));
    EXPECT_EQ(back, e);
    EXPECT_STRNE(DisplayName(e), "");
  }
  TLineEnd le = TLineEnd::CrLf;
  EXPECT_TRUE(ParseKey("lf", le));
  EXPECT_EQ(le, TLineEnd::Lf);
  EXPECT_FALSE(ParseKey("lfx", le));
  EXPECT_STREQ(DisplayName(TEncoding::Cp932), "Shift_JIS");
}
