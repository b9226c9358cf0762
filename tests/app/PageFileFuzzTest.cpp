// Bad page files: random bytes, cut and mutated files, absurd counts and lengths, broken
// UTF-8 and UTF-16. Each must end in a clean load or EPageFileError, never a crash, a hang
// or an allocation sized by a length field.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/PageData.h"
#include "support/TempDir.h"

namespace {

struct Outcome {
  bool ok = false;
  std::vector<std::string> fields;  // name, file name, text of every page kept
};

Outcome Load(const std::string& bytes) {
  Outcome out;
  TDataList list;
  TMemoryStream stream(bytes);
  try {
    list.LoadFromStream(stream);
    out.ok = true;
  } catch (const EPageFileError&) {
  }
  for (int i = 0; i < list.Count(); ++i) {
    out.fields.push_back(list.Items(i)->Name);
    out.fields.push_back(list.Items(i)->FileName);
    out.fields.push_back(list.Items(i)->Text);
  }
  return out;
}

std::string Save(const TDataList& list) {
  TMemoryStream stream;
  list.SaveToStream(stream);
  return stream.Bytes();
}

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

// Peak resident memory of this process in KiB.
long PeakKiB() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// A list with ASCII, long, Japanese and empty fields.
TDataList& Sample() {
  static TDataList list;
  if (list.Count() == 0) {
    list.Add("Page&0", "", "");
    list.Add("\x82\xd0\x82\xe6", "/tmp/\x93\xfa\x96\x7b.txt", "\x82\xa0\x82\xa2\r\nabc\r\n");
    list.Add(std::string(255, 'n'), std::string(256, 'f'), std::string(1000, 't'));
    list.Add("last", "", "\xb1\xb2\x83\x5c");
  }
  return list;
}

// A value that looks like the page file's: a valid tag with a length from the edges.
std::string RandomValue(std::mt19937& rng) {
  static const uint32_t lengths[] = {0,          1,          2,          3,          255, 256,
                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x40000000, 5,   17};
  static const unsigned char tags[] = {0x02, 0x03, 0x04, 0x06, 0x0C, 0x12, 0x14, 0x00, 0xFF};
  unsigned char tag = tags[rng() % sizeof tags];
  uint32_t len = rng() % 3 ? static_cast<uint32_t>(rng() % 12) : lengths[rng() % 12];
  std::string v(1, static_cast<char>(tag));
  if (tag == 0x06)
    v += static_cast<char>(len & 0xFF);
  else
    v += Le32(len);
  size_t payload = std::min<uint32_t>(len, 24) * (tag == 0x12 ? 2 : 1);
  if (rng() % 4 == 0 && payload) payload = rng() % payload;  // often short of what it says
  // Payload bytes lean on what breaks converters: lead bytes, stray continuations,
  // surrogate halves, NULs.
  static const char alphabet[] = {'a',    '\x00', '\x81', '\x82', '\x9f', '\xe0', '\xfc',
                                  '\xfd', '\x80', '\xbf', '\xc0', '\xe3', '\xed', '\xf0',
                                  '\xff', '\xd8', '\xdc', '\xdf', '\r',   '\n'};
  for (size_t i = 0; i < payload; ++i) v += alphabet[rng() % sizeof alphabet];
  return v;
}

}  // namespace

TEST(PageFileFuzzTest, RandomBytesEndCleanly) {
  std::mt19937 rng(1);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(rng() % 64, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    // Give some a plausible start so the reader gets past the count.
    if (round % 2) bytes.insert(0, std::string("\x02\x03", 2));
    Outcome o = Load(bytes);
    if (o.ok) {
      TDataList list;
      TMemoryStream s(bytes);
      list.LoadFromStream(s);
      EXPECT_EQ(o.fields.size(), 3u * static_cast<size_t>(list.Count()));
    }
  }
}

TEST(PageFileFuzzTest, RandomValuesOfTheRightShapeEndCleanly) {
  std::mt19937 rng(2);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes = RandomValue(rng);
    if (rng() % 2) bytes = std::string("\x02\x02", 2);
    int values = static_cast<int>(rng() % 8);
    for (int i = 0; i < values; ++i) bytes += RandomValue(rng);
    Outcome o = Load(bytes);
    ASSERT_TRUE(o.ok || o.fields.size() % 3 == 0);
  }
}

TEST(PageFileFuzzTest, EveryCutKeepsExactlyTheCompletePagesBeforeIt) {
  const std::string full = Save(Sample());
  const Outcome whole = Load(full);
  ASSERT_TRUE(whole.ok);
  // Where each page ends in the file, found by saving growing prefixes of the list.
  std::vector<size_t> pageEnds;
  {
    TDataList prefix;
    for (int i = 0; i < Sample().Count(); ++i) {
      const TDataItem* p = Sample().Items(i);
      prefix.Add(p->Name, p->FileName, p->Text);
      // The count byte stays one byte for these small lists.
      pageEnds.push_back(Save(prefix).size());
    }
  }
  for (size_t cut = 0; cut < full.size(); ++cut) {
    Outcome o = Load(full.substr(0, cut));
    ASSERT_FALSE(o.ok) << cut;
    size_t complete = 0;
    while (complete < pageEnds.size() && pageEnds[complete] <= cut) ++complete;
    ASSERT_EQ(std::vector<std::string>(whole.fields.begin(), whole.fields.begin() + 3 * complete),
              o.fields)
        << "cut at " << cut;
  }
}

TEST(PageFileFuzzTest, MutatedFilesLoadCleanlyAndRoundTripExactly) {
  const std::string full = Save(Sample());
  std::mt19937 rng(3);
  for (int round = 0; round < 5000; ++round) {
    std::string bytes = full;
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      size_t at = rng() % bytes.size();
      switch (rng() % 4) {
        case 0:
          bytes[at] = static_cast<char>(rng());
          break;
        case 1:
          bytes[at] = static_cast<char>(bytes[at] ^ (1 << (rng() % 8)));
          break;
        case 2:
          bytes.erase(at, 1 + rng() % 8);
          break;
        default:
          bytes.insert(at, 1, static_cast<char>(rng()));
          break;
      }
      if (bytes.empty()) bytes = "\x02";
    }
    TDataList list;
    TMemoryStream stream(bytes);
    try {
      list.LoadFromStream(stream);
    } catch (const EPageFileError&) {
      continue;
    }
    // Whatever loads is saved so that it loads again byte for byte, and then saves the same.
    std::string once = Save(list);
    Outcome again = Load(once);
    ASSERT_TRUE(again.ok);
    ASSERT_EQ(Load(bytes).fields, again.fields) << "round " << round;
    TDataList reloaded;
    TMemoryStream s2(once);
    reloaded.LoadFromStream(s2);
    ASSERT_EQ(Hex(once), Hex(Save(reloaded))) << "round " << round;
  }
}

TEST(PageFileFuzzTest, HugeCountsAndLengthsCostNothing) {
  long before = PeakKiB();
  // 2^31-1 pages promised and ten thousand there: the pages that are there are kept.
  std::string manyPages = std::string("\x04\xff\xff\xff\x7f", 5);
  for (int i = 0; i < 10000; ++i) manyPages += std::string("\x06\x01P\x06\x00\x06\x00", 7);
  Outcome o = Load(manyPages);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(30000u, o.fields.size());

  const std::string page1("\x02\x01", 2);
  for (uint32_t len : {0x7FFFFFFFu, 0x7FFFFFF0u, 0x40000000u, 0x10000000u})
    for (char tag : {'\x0c', '\x12', '\x14'}) {
      EXPECT_FALSE(Load(page1 + tag + Le32(len) + "some bytes").ok);
      EXPECT_FALSE(Load(page1 + "\x06\x00" + tag + Le32(len)).ok);
    }
  // None of that may have grown the process by anything like a length field's promise.
  EXPECT_LT(PeakKiB() - before, 256L * 1024);
}

TEST(PageFileFuzzTest, BrokenUtf8AndUtf16BecomeReplacementsNotErrors) {
  const std::string cases[] = {
      "\x14" + Le32(2) + "\xe3\x81",                  // cut multi-byte sequence
      "\x14" + Le32(3) + "\xed\xa0\x80",              // encoded surrogate
      "\x14" + Le32(4) + "\xf0\x9f\x98\x80",          // four-byte sequence
      "\x14" + Le32(2) + "\xc0\xaf",                  // overlong
      "\x14" + Le32(1) + "\x80",                      // lone continuation byte
      "\x12" + Le32(1) + std::string("\x00\xdc", 2),  // lone low surrogate
      "\x12" + Le32(2) + std::string("\x00\xd8\x00\xd8", 4),
      "\x12" + Le32(2) + std::string("\x3d\xd8\x00\xde", 4),  // a valid pair outside 932
  };
  for (const std::string& text : cases) {
    std::string bytes = std::string("\x02\x01\x06\x00\x06\x00", 6) + text;
    Outcome o = Load(bytes);
    ASSERT_TRUE(o.ok) << Hex(bytes);
    ASSERT_EQ(3u, o.fields.size());
    EXPECT_FALSE(o.fields[2].empty()) << Hex(bytes);
    EXPECT_EQ(std::string::npos, o.fields[2].find('\0')) << Hex(bytes);
  }
}
