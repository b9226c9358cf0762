// The page store: one TDataItem per tab of the main window, kept in a TDataList that owns
// them, and the page file's byte format (a count, then name, file name and text of each page).
//
// All strings are code page 932. Positions are 0-based. The main window owns one TDataList;
// page i belongs to tab i. Reading and writing the page file at start-up and shut-down,
// with the safety rules around it, is in PageStartup.h (TPageFile); use that, not
// LoadFromFile/SaveToFile directly.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "PageFormat.h"
#include "TypedValue.h"

class TFenDocument;

// A record that can write itself as typed values and read itself back.
class TDataItemBase {
 public:
  virtual ~TDataItemBase() = default;
  virtual void WriteData(TValueWriter& writer) const = 0;
  virtual void ReadData(TValueReader& reader) = 0;
};

// One page.
class TDataItem : public TDataItemBase {
 public:
  // Size of the buffer the typed-value reader and writer use over a stream.
  static constexpr size_t BufferSize = 1000;

  TDataItem();
  TDataItem(std::string name, std::string fileName, std::string text);
  ~TDataItem() override;

  // The text wherever it is held (a copy).
  std::string FullText() const;
  // Puts the text into Text, out of Rows.
  void FlattenText();
  // Holds the text as rows; Text is emptied.
  void HoldRows(TFenDocument&& rows);

  // Name, file name, text, as three strings.
  void WriteData(TValueWriter& writer) const override;
  // Three strings into name, file name, text; raises EPageFileError and leaves the
  // page unchanged when they cannot be read.
  void ReadData(TValueReader& reader) override;

  std::string Name;      // the tab's caption
  std::string FileName;  // full path of the bound text file; empty when unbound
  std::string Text;      // the text as last stored, CR LF between lines, unless Rows holds it
  // The editor's rows of a page that was shown and now waits behind another tab, so that
  // showing it again does not cut its text anew; Text is empty while they are held.
  std::unique_ptr<TFenDocument> Rows;
  // The crash journal holds the text of Rows (set by the journal step, never copied).
  bool RowsJournalled = false;
  // The bound file's encoding and line ends; not part of the page file (see PageFormat.h).
  TPageFormat Format;
};

// Ordered list of pages; it owns them.
class TDataList {
 public:
  TDataList() = default;
  TDataList(const TDataList&) = delete;
  TDataList& operator=(const TDataList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Appends a page and returns its position.
  int Add(std::unique_ptr<TDataItem> item);
  // Convenience: appends a new page built from the three strings.
  int Add(std::string name, std::string fileName = {}, std::string text = {});
  // The page at `index` (0 <= index < Count(), else std::out_of_range); the list stays owner.
  TDataItem* Items(int index) const;
  // Removes and destroys the page at `index`.
  void Delete(int index);
  // Takes the page at `from` out and inserts it at `to`; the pages between shift by one.
  void Move(int from, int to);
  void Clear();

  // Loads the file (see LoadFromStream), reading it as it goes rather than whole, so a large
  // file costs little more memory than its pages; a file that cannot be opened or read
  // raises EPageFileError.
  void LoadFromFile(const std::string& path);
  // Empties the list, reads the count N, then N pages. On bad data raises EPageFileError
  // and keeps the complete pages read before the fault (the partly read one is dropped).
  // A negative count is bad data; a count of 0 gives an empty list.
  void LoadFromStream(TStream& stream);
  // Writes the file with an atomic replace (TAtomicFileWriter): the values stream into a
  // temporary file beside it, which is synced and renamed over the old one. On failure
  // raises EPageFileError and the old file stays as it was.
  void SaveToFile(const std::string& path) const;
  // Appends the count and every page; the writer's buffer is flushed after the count and
  // after each page.
  void SaveToStream(TStream& stream) const;

 private:
  std::vector<std::unique_ptr<TDataItem>> items_;
};
