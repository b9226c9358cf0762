// The crash journal: any bytes applied to a few pages never raise, never read past the end
// and never claim more than they hold. Each input is also replayed with its record checksums
// made right, so that the records themselves get fuzzed and not only the checksum test.
#include <cstring>

#include "FuzzSupport.h"
#include "app/PageJournal.h"

namespace {

void Pages(TDataList& pages) {
  pages.Add("one", "", "first page\r\nsecond line");
  pages.Add("two", "/home/user/two.txt", "");
  pages.Add("three", "", std::string(300, 'x'));
}

void ReplayOnce(std::string_view journal) {
  TDataList pages;
  Pages(pages);
  TJournalReplay replay = PageJournal::Replay(journal, pages);
  if (replay.GoodLength > journal.size()) fuzz::Broken("good length past the end");
  if (replay.Records < 0 || replay.PagesChanged < 0) fuzz::Broken("negative counts");
  TJournalBase base;
  bool selfContained = false;
  (void)PageJournal::ReadBase(journal, base, selfContained);
}

uint32_t Le32(const char* p) {
  uint32_t v = 0;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  ReplayOnce(bytes);
  std::string fixed(bytes);
  size_t at = 0;
  while (fixed.size() - at >= 8) {
    uint32_t length = Le32(fixed.data() + at);
    if (length > fixed.size() - at - 8) break;
    uint32_t crc = PageJournal::Crc32(std::string_view(fixed).substr(at + 8, length));
    std::memcpy(fixed.data() + at + 4, &crc, 4);
    at += 8 + size_t(length);
  }
  ReplayOnce(fixed);
  return 0;
}
