#include "TypedValue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/CodePage.h"

namespace {

constexpr unsigned char kInt8 = 0x02;
constexpr unsigned char kInt16 = 0x03;
constexpr unsigned char kInt32 = 0x04;
constexpr unsigned char kString8 = 0x06;
constexpr unsigned char kString32 = 0x0C;
constexpr unsigned char kWideString = 0x12;
constexpr unsigned char kUtf8String = 0x14;

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Conversions may leave a buffer twice the text's size; a page keeps only what it needs.
std::string Trimmed(std::string s) {
  if (s.capacity() > s.size() + s.size() / 8 + 64) s.shrink_to_fit();
  return s;
}

}  // namespace

// ---- Round trip through UTF-8

namespace {

// For every code page 932 character, whether UTF-8 gives the same bytes back. Conversion
// works character by character, so text made only of such characters comes back whole.
// Built once from the converter itself, which makes checking a page a table walk instead of
// a second conversion.
class TRoundTripTable {
 public:
  TRoundTripTable() : single_(256, false), pair_(65536, false) {
    for (int b = 0x80; b < 0x100; ++b) {
      if (CodePage::IsDBCSLeadByte(static_cast<unsigned char>(b))) {
        for (int t = 0; t < 0x100; ++t) {
          const char c[2] = {static_cast<char>(b), static_cast<char>(t)};
          pair_[static_cast<size_t>(b << 8 | t)] = Holds(std::string_view(c, 2));
        }
      } else {
        const char c = static_cast<char>(b);
        single_[static_cast<size_t>(b)] = Holds(std::string_view(&c, 1));
      }
    }
  }

  bool Survives(std::string_view s) const {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t i = 0, n = s.size(); i < n;) {
      unsigned char b = p[i];
      if (b < 0x80) {
        ++i;
      } else if (CodePage::IsDBCSLeadByte(b)) {
        if (i + 1 == n || !pair_[static_cast<size_t>(b << 8 | p[i + 1])]) return false;
        i += 2;
      } else {
        if (!single_[b]) return false;
        ++i;
      }
    }
    return true;
  }

 private:
  static bool Holds(std::string_view c) { return CodePage::FromUtf8(CodePage::ToUtf8(c)) == c; }

  std::vector<bool> single_, pair_;
};

}  // namespace

bool SurvivesUtf8(std::string_view cp932) {
  static const TRoundTripTable table;
  return table.Survives(cp932);
}

// ---- TMemoryStream

size_t TMemoryStream::Read(char* buffer, size_t count) {
  size_t n = std::min(count, data_.size() - pos_);
  if (n) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void TMemoryStream::Write(const char* buffer, size_t count) {
  if (pos_ == data_.size()) {
    data_.append(buffer, count);
  } else {
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, count);
  }
  pos_ += count;
}

std::string TMemoryStream::TakeBytes() {
  std::string out = std::move(data_);
  data_.clear();
  pos_ = 0;
  return out;
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw EPageFileError(path + " を開けません（" + std::strerror(errno) + "）");
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    std::string why = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "通常のファイルではありません";
    ::close(fd_);
    throw EPageFileError(path + " を読み込めません（" + why + "）");
  }
  size_ = static_cast<uint64_t>(st.st_size);
}

TFileStream::~TFileStream() {
  ::close(fd_);
}

size_t TFileStream::Read(char* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, buffer + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EPageFileError(path_ + " を読み込めません（" + std::strerror(errno) + "）");
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  pos_ += done;
  return done;
}

void TFileStream::Write(const char*, size_t) {
  throw EPageFileError(path_ + " は読み込み用に開かれているため書き込めません");
}

// ---- TValueWriter

TValueWriter::TValueWriter(TStream& stream, size_t bufferSize)
    : stream_(stream), buffer_(std::max<size_t>(bufferSize, 8), '\0') {}

void TValueWriter::FlushBuffer() {
  if (used_) stream_.Write(buffer_.data(), used_);
  used_ = 0;
}

void TValueWriter::Put(const char* bytes, size_t count) {
  if (used_ + count > buffer_.size()) {
    FlushBuffer();
    // Large payloads go straight to the stream; the bytes are the same either way.
    if (count >= buffer_.size()) {
      stream_.Write(bytes, count);
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes, count);
  used_ += count;
}

void TValueWriter::PutTag(unsigned char tag) {
  char c = static_cast<char>(tag);
  Put(&c, 1);
}

void TValueWriter::PutInt32(int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
               static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  Put(b, 4);
}

void TValueWriter::WriteInteger(int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  if (value >= -128 && value <= 127) {
    char b[2] = {static_cast<char>(kInt8), static_cast<char>(v & 0xFF)};
    Put(b, 2);
  } else if (value >= -32768 && value <= 32767) {
    char b[3] = {static_cast<char>(kInt16), static_cast<char>(v & 0xFF),
                 static_cast<char>((v >> 8) & 0xFF)};
    Put(b, 3);
  } else {
    PutTag(kInt32);
    PutInt32(value);
  }
}

void TValueWriter::WriteString(std::string_view cp932) {
  // Bytes that are not code page 932 text (or one of its duplicate codes) would come back
  // changed from UTF-8; such text is kept as it is, in the form that is read unconverted.
  if (IsAscii(cp932) || !SurvivesUtf8(cp932)) {
    if (cp932.size() <= 255) {
      char b[2] = {static_cast<char>(kString8), static_cast<char>(cp932.size())};
      Put(b, 2);
    } else {
      if (cp932.size() > INT32_MAX) throw EPageFileError("ページが大きすぎて保存できません");
      PutTag(kString32);
      PutInt32(static_cast<int32_t>(cp932.size()));
    }
    Put(cp932.data(), cp932.size());
    return;
  }
  std::string utf8 = CodePage::ToUtf8(cp932);
  if (utf8.size() > INT32_MAX) throw EPageFileError("ページが大きすぎて保存できません");
  PutTag(kUtf8String);
  PutInt32(static_cast<int32_t>(utf8.size()));
  Put(utf8.data(), utf8.size());
}

// ---- TValueReader

TValueReader::TValueReader(TStream& stream, size_t bufferSize)
    : stream_(stream), buffer_(std::max<size_t>(bufferSize, 8), '\0') {}

uint64_t TValueReader::Remaining() const {
  uint64_t size = stream_.Size(), pos = stream_.Position();
  return (end_ - pos_) + (size > pos ? size - pos : 0);
}

void TValueReader::Get(char* bytes, size_t count) {
  while (count) {
    if (pos_ == end_) {
      // Large reads bypass the buffer.
      if (count >= buffer_.size()) {
        if (stream_.Read(bytes, count) != count)
          throw EPageFileError("ページファイルが途中で終わっています");
        return;
      }
      pos_ = 0;
      end_ = stream_.Read(buffer_.data(), buffer_.size());
      if (end_ == 0) throw EPageFileError("ページファイルが途中で終わっています");
    }
    size_t n = std::min(count, end_ - pos_);
    std::memcpy(bytes, buffer_.data() + pos_, n);
    pos_ += n;
    bytes += n;
    count -= n;
  }
}

unsigned char TValueReader::GetByte() {
  char c;
  Get(&c, 1);
  return static_cast<unsigned char>(c);
}

int32_t TValueReader::GetInt32() {
  unsigned char b[4];
  Get(reinterpret_cast<char*>(b), 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) |
                              (static_cast<uint32_t>(b[3]) << 24));
}

std::string TValueReader::GetPayload(uint64_t count) {
  // Check before allocating: a damaged length field must not cost gigabytes.
  if (count > Remaining()) throw EPageFileError("ページファイルが途中で終わっています");
  std::string s(static_cast<size_t>(count), '\0');
  Get(s.data(), s.size());
  return s;
}

int32_t TValueReader::ReadInteger() {
  unsigned char tag = GetByte();
  switch (tag) {
    case kInt8:
      return static_cast<int8_t>(GetByte());
    case kInt16: {
      unsigned char lo = GetByte(), hi = GetByte();
      return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    case kInt32:
      return GetInt32();
    default:
      throw EPageFileError("ページファイルの数値の位置に不明な値があります");
  }
}

std::string TValueReader::ReadString() {
  unsigned char tag = GetByte();
  switch (tag) {
    case kString8:
      return GetPayload(GetByte());
    case kString32: {
      int32_t n = GetInt32();
      if (n < 0) throw EPageFileError("ページファイルに負の長さがあります");
      return GetPayload(static_cast<uint64_t>(n));
    }
    case kWideString: {
      int32_t n = GetInt32();
      if (n < 0) throw EPageFileError("ページファイルに負の長さがあります");
      std::string bytes = GetPayload(2 * static_cast<uint64_t>(n));
      std::u16string units(static_cast<size_t>(n), u'\0');
      for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
      bytes = std::string();
      return Trimmed(CodePage::FromUtf16(units));
    }
    case kUtf8String: {
      int32_t n = GetInt32();
      if (n < 0) throw EPageFileError("ページファイルに負の長さがあります");
      std::string utf8 = GetPayload(static_cast<uint64_t>(n));
      if (IsAscii(utf8)) return utf8;
      return Trimmed(CodePage::FromUtf8(utf8));
    }
    default:
      throw EPageFileError("ページファイルの文字列の位置に不明な値があります");
  }
}
