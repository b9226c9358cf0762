// Encoding detection and conversion of opened files: any bytes are detected and decoded,
// and the result written back in every encoding.
#include "FuzzSupport.h"
#include "platform/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  TextEncoding::TDecoded decoded = TextEncoding::Decode(bytes);
  using E = TextEncoding::TEncoding;
  for (E e : {E::Cp932, E::Utf8, E::Utf8Bom, E::Utf16Le, E::Utf16Be, E::EucJp, E::Iso2022Jp}) {
    (void)TextEncoding::ToCp932(bytes, e);
    (void)TextEncoding::FromCp932(bytes, e);
  }
  using L = TextEncoding::TLineEnd;
  for (L l : {L::CrLf, L::Lf, L::Cr})
    (void)TextEncoding::FromCrLf(TextEncoding::ToCrLf(bytes, l), l);
  return 0;
}
