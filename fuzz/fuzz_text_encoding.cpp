// Encoding detection and conversion of opened files: any bytes are read as a file is opened
// (detected, decoded, line ends made CR LF), and written back in every encoding.
#include "FuzzSupport.h"
#include "app/TextFile.h"
#include "platform/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  TextEncoding::TDecoded decoded = TextEncoding::Decode(bytes);
  using E = TextEncoding::TEncoding;
  for (E e : {E::Cp932, E::Utf8, E::Utf8Bom, E::Utf16Le, E::Utf16Be, E::EucJp, E::Iso2022Jp}) {
    (void)TextEncoding::ToCp932(bytes, e);
    (void)TextEncoding::FromCp932(bytes, e);
  }
  fuzz::TMemoryFile file(bytes);
  TextFile::TOpened opened;
  std::string error;
  if (TextFile::Read(file.Path(), opened, error)) {
    if (opened.Text.find('\0') != std::string::npos) fuzz::Broken("a NUL in the opened text");
    TextEncoding::TReplacements replaced;
    (void)TextFile::Encode(opened.Text, opened.Format, &replaced);
  }
  using L = TextEncoding::TLineEnd;
  for (L l : {L::CrLf, L::Lf, L::Cr})
    (void)TextEncoding::FromCrLf(TextEncoding::ToCrLf(bytes, l), l);
  return 0;
}
