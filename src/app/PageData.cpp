#include "PageData.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EPageFileError("cannot open " + path + ": " + std::strerror(errno));
  struct stat st {};
  std::string data;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    ssize_t n;
    if (got < data.size()) {
      n = ::read(fd, data.data() + got, data.size() - got);
      if (n > 0) got += static_cast<size_t>(n);
    } else {
      // The expected size is read; look for more without doubling the buffer.
      char chunk[65536];
      n = ::read(fd, chunk, sizeof chunk);
      if (n > 0) {
        data.resize(got);
        data.append(chunk, static_cast<size_t>(n));
        got = data.size();
      }
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      ::close(fd);
      throw EPageFileError("cannot read " + path + ": " + std::strerror(e));
    }
    if (n == 0) break;
  }
  ::close(fd);
  data.resize(got);
  return data;
}

}  // namespace

// ---- TDataItem

void TDataItem::WriteData(TValueWriter& writer) const {
  writer.WriteString(Name);
  writer.WriteString(FileName);
  writer.WriteString(Text);
}

void TDataItem::ReadData(TValueReader& reader) {
  std::string name = reader.ReadString();
  std::string fileName = reader.ReadString();
  std::string text = reader.ReadString();
  Name = std::move(name);
  FileName = std::move(fileName);
  Text = std::move(text);
}

// ---- TDataList

int TDataList::Add(std::unique_ptr<TDataItem> item) {
  if (!item) throw std::invalid_argument("TDataList::Add: no page");
  items_.push_back(std::move(item));
  return Count() - 1;
}

int TDataList::Add(std::string name, std::string fileName, std::string text) {
  return Add(std::make_unique<TDataItem>(std::move(name), std::move(fileName), std::move(text)));
}

TDataItem* TDataList::Items(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TDataList: no page at that position");
  return items_[static_cast<size_t>(index)].get();
}

void TDataList::Delete(int index) {
  Items(index);
  items_.erase(items_.begin() + index);
}

void TDataList::Move(int from, int to) {
  Items(from);
  Items(to);
  if (from == to) return;
  std::unique_ptr<TDataItem> item = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
}

void TDataList::Clear() { items_.clear(); }

void TDataList::LoadFromFile(const std::string& path) {
  TMemoryStream stream(ReadWholeFile(path));
  LoadFromStream(stream);
}

void TDataList::LoadFromStream(TStream& stream) {
  Clear();
  TValueReader reader(stream, TDataItem::BufferSize);
  int32_t count = reader.ReadInteger();
  if (count < 0) throw EPageFileError("page file holds a negative page count");
  // No reserve(count): the count may be damaged; the data itself bounds the list.
  for (int32_t i = 0; i < count; ++i) {
    auto item = std::make_unique<TDataItem>();
    item->ReadData(reader);
    Add(std::move(item));
  }
}

void TDataList::SaveToFile(const std::string& path) const {
  TMemoryStream stream;
  SaveToStream(stream);
  std::string error;
  if (!AtomicFile::Write(path, stream.Bytes(), &error)) throw EPageFileError(error);
}

void TDataList::SaveToStream(TStream& stream) const {
  TValueWriter writer(stream, TDataItem::BufferSize);
  writer.WriteInteger(Count());
  writer.FlushBuffer();
  for (const auto& item : items_) {
    item->WriteData(writer);
    writer.FlushBuffer();
  }
}
