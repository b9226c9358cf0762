#include "PageData.h"

#include <stdexcept>

#include "FenEdit/FenEdit.h"
#include "platform/AtomicFile.h"

namespace {

// The page file being written: a stream that goes straight into the atomic replacement.
class TReplacingStream : public TStream {
 public:
  explicit TReplacingStream(TAtomicFileWriter& writer) : writer_(writer) {}
  size_t Read(char*, size_t) override { return 0; }
  void Write(const char* buffer, size_t count) override {
    if (!writer_.Append(std::string_view(buffer, count))) throw EPageFileError(writer_.Error());
    size_ += count;
  }
  uint64_t Size() const override { return size_; }
  uint64_t Position() const override { return size_; }

 private:
  TAtomicFileWriter& writer_;
  uint64_t size_ = 0;
};

}  // namespace

// ---- TDataItem

TDataItem::TDataItem() = default;

TDataItem::TDataItem(std::string name, std::string fileName, std::string text)
    : Name(std::move(name)), FileName(std::move(fileName)), Text(std::move(text)) {}

TDataItem::~TDataItem() = default;

std::string TDataItem::FullText() const {
  return Rows ? Rows->Text() : Text;
}

void TDataItem::FlattenText() {
  if (!Rows) return;
  Text = Rows->Text();
  Rows.reset();
  RowsJournalled = false;
}

void TDataItem::HoldRows(TFenDocument&& rows) {
  Text = std::string();
  Rows = std::make_unique<TFenDocument>(std::move(rows));
  RowsJournalled = false;
}

void TDataItem::WriteData(TValueWriter& writer) const {
  writer.WriteString(Name);
  writer.WriteString(FileName);
  if (Rows)
    writer.WriteString(Rows->Text());  // one page's copy at a time
  else
    writer.WriteString(Text);
}

void TDataItem::ReadData(TValueReader& reader) {
  std::string name = reader.ReadString();
  std::string fileName = reader.ReadString();
  std::string text = reader.ReadString();
  Name = std::move(name);
  FileName = std::move(fileName);
  Text = std::move(text);
  Rows.reset();
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

void TDataList::Clear() {
  items_.clear();
}

void TDataList::LoadFromFile(const std::string& path) {
  TFileStream stream(path);
  LoadFromStream(stream);
}

void TDataList::LoadFromStream(TStream& stream) {
  Clear();
  TValueReader reader(stream, TDataItem::BufferSize);
  int32_t count = reader.ReadInteger();
  if (count < 0) throw EPageFileError("ページファイルのページ数が負の値です");
  // No reserve(count): the count may be damaged; the data itself bounds the list.
  for (int32_t i = 0; i < count; ++i) {
    auto item = std::make_unique<TDataItem>();
    item->ReadData(reader);
    Add(std::move(item));
  }
}

void TDataList::SaveToFile(const std::string& path) const {
  // The pages are the user's notes: a new page file is for the user alone.
  TAtomicFileWriter writer(path, 0600);
  if (!writer.Ok()) throw EPageFileError(writer.Error());
  TReplacingStream stream(writer);
  SaveToStream(stream);
  if (!writer.Commit()) throw EPageFileError(writer.Error());
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
