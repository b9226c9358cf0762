// The typed values of the page file: a tag byte, then a little-endian payload.
//   integers: 0x02 int8, 0x03 int16, 0x04 int32 (the writer picks the smallest form);
//   strings:  0x06 len8 + bytes, 0x0C len32 + bytes, 0x14 len32 + UTF-8,
//             and on reading also 0x12 units32 + UTF-16LE.
// Strings are code page 932 inside the program; anything outside 7-bit ASCII is stored as
// UTF-8 and converted back on reading, unless UTF-8 would not give the same bytes back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

// Raised when a page file cannot be read or written: unknown tag, data ending early,
// a file that cannot be opened, a failed write.
class EPageFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when UTF-8 carries `cp932` back unchanged: every byte is part of a code page 932
// character that is not one of its duplicate codes.
bool SurvivesUtf8(std::string_view cp932);

// A byte stream with a known size, so that a reader can tell whether a length field
// promises more data than there is before it allocates anything.
class TStream {
 public:
  virtual ~TStream() = default;
  // Copies up to `count` bytes from the current position; returns how many were copied.
  virtual size_t Read(char* buffer, size_t count) = 0;
  // Appends at the current position (a stream that cannot be written raises).
  virtual void Write(const char* buffer, size_t count) = 0;
  virtual uint64_t Size() const = 0;
  virtual uint64_t Position() const = 0;
};

// A stream over bytes held in memory; it owns them.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  size_t Read(char* buffer, size_t count) override;
  void Write(const char* buffer, size_t count) override;
  uint64_t Size() const override { return data_.size(); }
  uint64_t Position() const override { return pos_; }
  void Seek(uint64_t position) { pos_ = position < data_.size() ? position : data_.size(); }

  const std::string& Bytes() const { return data_; }
  // Hands the bytes over and leaves the stream empty.
  std::string TakeBytes();

 private:
  std::string data_;
  size_t pos_ = 0;
};

// A read-only stream over an open file, read as it is consumed so that a large page file
// is never held whole in memory. Raises EPageFileError when the file cannot be opened or read.
class TFileStream : public TStream {
 public:
  explicit TFileStream(const std::string& path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  size_t Read(char* buffer, size_t count) override;
  void Write(const char* buffer, size_t count) override;
  uint64_t Size() const override { return size_; }
  uint64_t Position() const override { return pos_; }

 private:
  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
};

// Writes typed values through a buffer of `bufferSize` bytes; the buffer size never
// changes the bytes produced. The destructor does not flush: call FlushBuffer.
class TValueWriter {
 public:
  TValueWriter(TStream& stream, size_t bufferSize);
  TValueWriter(const TValueWriter&) = delete;
  TValueWriter& operator=(const TValueWriter&) = delete;

  void WriteInteger(int32_t value);
  // `cp932` is code-page-932 text; stored as 0x06/0x0C when pure ASCII, else as 0x14 UTF-8.
  // Bytes that UTF-8 cannot carry back unchanged (not valid code page 932, or a duplicate
  // code) make the whole string go as 0x06/0x0C, so that a page comes back byte for byte.
  void WriteString(std::string_view cp932);
  void FlushBuffer();

 private:
  void Put(const char* bytes, size_t count);
  void PutTag(unsigned char tag);
  void PutInt32(int32_t value);

  TStream& stream_;
  std::string buffer_;
  size_t used_ = 0;
};

// Reads typed values through a buffer of `bufferSize` bytes. Every failure raises
// EPageFileError; a length field larger than the data left raises before any allocation.
class TValueReader {
 public:
  TValueReader(TStream& stream, size_t bufferSize);
  TValueReader(const TValueReader&) = delete;
  TValueReader& operator=(const TValueReader&) = delete;

  int32_t ReadInteger();
  // Returns code-page-932 text whatever form it was stored in.
  std::string ReadString();

 private:
  unsigned char GetByte();
  void Get(char* bytes, size_t count);
  int32_t GetInt32();
  // Bytes still to come: what is buffered plus what the stream has left.
  uint64_t Remaining() const;
  std::string GetPayload(uint64_t count);

  TStream& stream_;
  std::string buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
};
