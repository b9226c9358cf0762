// Code page 932 conversion of a large Japanese text (as when the page file is read and
// written), with plain iconv on the same text as the yardstick.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "platform/CodePage.h"

namespace {

// About 8 MB of mixed text: kana, kanji, ASCII, half-width katakana, CR LF.
const std::string& Text() {
  static const std::string text = [] {
    const std::string line = CodePage::FromUtf8(
        "吾輩は猫である。名前はまだ無い。 The cat, 2024年 ｱｲｳ "
        "どこで生れたかとんと見当がつかぬ。\r\n");
    std::string s;
    while (s.size() < (8u << 20)) s += line;
    return s;
  }();
  return text;
}

const std::string& Utf8() {
  static const std::string utf8 = CodePage::ToUtf8(Text());
  return utf8;
}

std::string Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  char* dst = out.data();
  size_t srcLeft = in.size(), dstLeft = out.size();
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

void BM_ToUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CodePage::ToUtf8(Text()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_ToUtf8)->Unit(benchmark::kMillisecond);

void BM_FromUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CodePage::FromUtf8(Utf8()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_FromUtf8)->Unit(benchmark::kMillisecond);

void BM_IconvToUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("UTF-8", "CP932", Text()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_IconvToUtf8)->Unit(benchmark::kMillisecond);

void BM_IconvFromUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("CP932", "UTF-8", Utf8()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_IconvFromUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
