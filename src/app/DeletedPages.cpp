#include "DeletedPages.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "PageData.h"
#include "TypedValue.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFiles.h"

namespace {

constexpr const char* kMagic = "PiyoDeletedPages";

void ReadPages(TStream& stream, std::deque<TDeletedPage>& pages) {
  pages.clear();
  TValueReader reader(stream, TDataItem::BufferSize);
  if (reader.ReadString() != kMagic) throw EPageFileError("not a store of deleted pages");
  int32_t count = reader.ReadInteger();
  if (count < 0) throw EPageFileError("negative count");
  for (int32_t i = 0; i < count; ++i) {
    TDeletedPage page;
    page.Position = reader.ReadInteger();
    page.Name = reader.ReadString();
    page.FileName = reader.ReadString();
    page.Text = reader.ReadString();
    pages.push_back(std::move(page));
    if (pages.size() > TDeletedPages::kCapacity) pages.pop_front();
  }
}

}  // namespace

void TDeletedPages::Push(TDeletedPage page) {
  pages_.push_back(std::move(page));
  while (pages_.size() > kCapacity) pages_.pop_front();
  dirty_ = true;
}

std::optional<TDeletedPage> TDeletedPages::Pop() {
  if (pages_.empty()) return std::nullopt;
  TDeletedPage page = std::move(pages_.back());
  pages_.pop_back();
  dirty_ = true;
  return page;
}

std::string TDeletedPages::Serialize(const std::deque<TDeletedPage>& pages) {
  TMemoryStream stream;
  TValueWriter writer(stream, TDataItem::BufferSize);
  writer.WriteString(kMagic);
  writer.WriteInteger(static_cast<int32_t>(pages.size()));
  for (const TDeletedPage& page : pages) {
    writer.WriteInteger(page.Position);
    writer.WriteString(page.Name);
    writer.WriteString(page.FileName);
    writer.WriteString(page.Text);
    writer.FlushBuffer();
  }
  writer.FlushBuffer();
  return stream.TakeBytes();
}

void TDeletedPages::Parse(const std::string& bytes, std::deque<TDeletedPage>& pages) {
  TMemoryStream stream(bytes);
  ReadPages(stream, pages);
}

bool TDeletedPages::Load(std::string* error) {
  pages_.clear();
  dirty_ = false;
  if (path_.empty()) return true;
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0 && errno == ENOENT) return true;
  if (st.st_size == 0) return true;  // nothing was ever written into it
  try {
    TFileStream stream(path_);
    ReadPages(stream, pages_);
    return true;
  } catch (const EPageFileError& e) {
    if (error) *error = e.what();
  }
  // Set aside rather than overwritten: what could not be read may still be wanted.
  std::string aside = path_ + ".damaged";
  if (::rename(path_.c_str(), aside.c_str()) != 0) {
    if (error) *error += std::string("; ") + std::strerror(errno);
    path_.clear();  // kept in memory only, so the unreadable file is never overwritten
  }
  dirty_ = true;
  return false;
}

bool TDeletedPages::Save(std::string* error) {
  if (!dirty_ || path_.empty()) return true;
  struct stat st {};
  if (pages_.empty() && ::stat(path_.c_str(), &st) != 0 && errno == ENOENT) {
    dirty_ = false;
    return true;
  }
  if (!AtomicFile::Write(path_, Serialize(pages_), error, ProgramFiles::kPrivateFileMode))
    return false;
  dirty_ = false;
  return true;
}
