// The state a search and replace carries between calls: what is sought, where the next search
// starts, the range a replace must stay in, the last hit and the flags the host is told.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "FenEditSub.h"
#include "platform/Graphics.h"

class TFenStrings;

// A hit: its first byte and row, and its length (0: no hit).
struct TSearchHit {
  TByte Byte = 0;
  TRow Row = 0;
  int Len = 0;
  friend bool operator==(const TSearchHit&, const TSearchHit&) = default;
};

// Rows copied one after another, of which the texts handed to the host are views: each byte
// is copied once per search, also in a long line with many hits. Valid for one search, or for
// a whole replace-all pass (Keep), whose rows ahead do not change.
class TSearchWindow {
 public:
  // Row's bytes from offset to partEnd, then up to want bytes of the rows after it, never
  // past end (end.Row > row).
  std::string_view Text(const TFenStrings& store, TRow row, TByte offset, TByte partEnd,
                        TRowPos end, size_t want);
  void Drop();
  bool Keep = false;

 private:
  bool Serves(TRow row, TRowPos end, size_t want) const;
  std::string bytes_;
  std::vector<size_t> start_;  // offset of each row in bytes_
  TRow first_ = 0;
  TRowPos end_;         // the search's end; bytes after it are not copied
  bool toEnd_ = false;  // the copy runs up to end_
};

struct TSearchSession {
  std::string FindStr;
  std::string ReplaceStr;
  TSearchWindow Window;
  // Forward searches go on from Pos (after the last hit); backward searches look before Back
  // (the last hit's start).
  TRowPos Pos;
  TRowPos Back;
  // The end of a replace range, kept as what lies after it (whole lines, and the bytes to its
  // own line's end), which replacing before it never changes, so it holds however the rows in
  // front are rewrapped.
  bool RangeWhole = true;
  int RangeLinesAfter = 0;
  long long RangeTail = 0;
  int Count = 0;
  TSearchHit Hit;
  TColor HitColor = 0;
  bool NewSearch = true;
  bool Continuing = false;
  bool Wrapped = false;
  bool Kakunin = false;  // the replace asks before each hit
  bool Abort = false;
};
