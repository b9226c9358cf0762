// The code-page layer both ways: any bytes to Unicode and back, any UTF-8 and UTF-16 to
// code page 932 and back.
#include "FuzzSupport.h"
#include "platform/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  std::u16string wide = CodePage::ToUtf16(bytes);
  std::string narrow = CodePage::FromUtf16(wide);
  std::string utf8 = CodePage::ToUtf8(bytes);
  // One way and the other meet: the UTF-8 road gives what the UTF-16 road gives.
  if (CodePage::FromUtf8(utf8) != narrow) fuzz::Broken("UTF-8 and UTF-16 roads differ");
  // What came back from Unicode is stable from then on.
  if (CodePage::FromUtf16(CodePage::ToUtf16(narrow)) != narrow) fuzz::Broken("not stable");
  // The other way: the bytes as UTF-8 and as UTF-16.
  (void)CodePage::FromUtf8(bytes);
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  (void)CodePage::FromUtf16(units);
  for (size_t i = 0; i < size; ++i) {
    if (CodePage::IsDBCSLeadByte(data[i])) ++i;
  }
  return 0;
}
