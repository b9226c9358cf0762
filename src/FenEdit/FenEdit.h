// TFenEdit: the editor control. This header holds its text engine (store, layout, editing,
// undo, search); the view, input and window parts are added by their own files.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "FenEditSub.h"
#include "Fenstrings.h"
#include "platform/CustomControl.h"
#include "platform/Graphics.h"

using TChangeRedoEvent = std::function<void(TObject* Sender, bool RedoEnable)>;
using TChangemodifyEvent = std::function<void(TObject* Sender, bool modified)>;

// How ScrollToCaret brings the caret into view.
enum class TCaretPlacement { Minimal, Centre, UpperFifth };

// One undo step: what was inserted or removed, at a logical position.
struct TUndoStep {
  unsigned char Kind = 0;  // 0 inserted, 1 selection deleted, 2 backspace, 3 delete, 5 overwritten
  int Offset = 0;          // byte offset within the logical line
  int Line = 0;            // logical line index
  std::string Text;
};

class TFenEdit : public TCustomControl {
 public:
  TFenEdit();
  ~TFenEdit() override;
  TFenEdit(const TFenEdit&) = delete;
  TFenEdit& operator=(const TFenEdit&) = delete;

  // ---- whole text -------------------------------------------------------------------
  std::string GetText() const { return Store.GetText(); }
  void SetText(std::string_view text);
  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName);
  void ClearAll();
  const TFenStrings& GetStore() const { return Store; }

  // ---- layout -----------------------------------------------------------------------
  bool GetWordWrap() const { return WordWrap_; }
  void SetWordWrap(bool value);
  int GetColumn() const { return Column_; }
  void SetColumn(int value);
  bool GetAutoWrap() const { return AutoWrap_; }
  void SetAutoWrap(bool value) { AutoWrap_ = value; }
  int GetTabCount() const { return TabCount_; }
  void SetTabCount(int value);
  bool GetSingleByteMode() const { return SingleByteMode_; }
  void SetSingleByteMode(bool value) { SingleByteMode_ = value; }

  // The view's font and text-area metrics; fixed metrics until a view sets its own.
  void SetMetrics(const TFenMetrics* metrics);
  const TFenMetrics& Metrics() const { return *metrics_; }

  std::string ExpandTabs(std::string_view s) const;
  // Columns the first n bytes take after tab expansion.
  int ExpandedLength(std::string_view s, size_t n) const;
  // 0 single, 1 lead byte, 2 trail byte; p is 1-based.
  int ByteTypeAt(std::string_view s, int p) const;
  int FitCount(std::string_view t) const;
  // Bytes of the first row when t, the rest of a logical line, is cut.
  int CutFirst(std::string_view t) const;
  // Cuts one logical line (with its terminator) into rows.
  void CutLine(std::string_view line, std::vector<std::string>& rows) const;
  void WrapAll(bool on, bool repaint);
  void RewrapRows(TRow first, TRow last, bool repaint);
  void LineToRow(TByte& byte, int& lineToRow) const;
  void RowToLine(TByte& byte, int& rowToLine) const;
  TRowPos ToRowPos(TLinePos p) const;
  TLinePos ToLinePos(TRowPos p) const;
  // Largest caret offset on a row: before its terminator, or its length.
  TByte RowLimit(TRow row) const;
  TRowPos LimitPos(TRowPos p) const;
  bool GotoPos(TByte byte, TRow row, TCaretPlacement placement);

  // ---- editing state ----------------------------------------------------------------
  TByte CaretByte() const { return caret_.Byte; }
  TRow CaretRow() const { return caret_.Row; }
  TRowPos Caret() const { return caret_; }
  TRowPos Anchor() const { return anchor_; }
  TRowPos SelEnd() const { return selEnd_; }
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value) { insertMode_ = value; }
  bool IsSelected() const { return selected_ || selectAll_; }
  bool IsSelectAll() const { return selectAll_; }
  int CaretX() const { return caretX_; }
  int HorzOffset() const { return horzOffset_; }
  TRow TopRow() const { return topRow_; }

  // ---- editing (FenEditEdit.cpp) -----------------------------------------------------
  std::string GetSelText() const;
  void SetSelText(std::string_view text);
  bool GetSelRange(TByte& startByte, TRow& startRow, TRow& endRow, TByte& endByte) const;
  void SetSel(TByte anchorByte, TRow anchorRow, TRow caretRow, TByte caretByte);
  void SelectAll();
  void CancelSelection();
  void DeleteSelection(bool repaint);
  void InsertAtCaret(std::string_view text, bool repaint);
  void TypeText(std::string_view s);
  void NewLine();
  void InsertTab();
  void DeleteChar();
  void BackspaceChar();
  void DeleteWordRight();
  void DeleteWordLeft();
  TByte WordScanForward(TRow row, TByte byte) const;
  TByte WordScanBackward(TRow row, TByte byte) const;
  static int CharClass(int code);
  // Code of the character at byte b of a row (lead*256+trail for a double-byte one).
  int CharCodeAt(std::string_view row, TByte b) const;
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void TrimRight(TRow& first, TRow& last, bool fullWidth);
  void TrimLeft(TRow& first, TRow& last, bool fullWidth);
  void TrimBoth(TRow& first, TRow& last, bool fullWidth);
  void ReplaceLines(const std::string& text, TLine first, TLine& last);
  void DropText(const std::string& text, bool copy);
  // While text is dragged the caret follows the pointer and the selection stays.
  void SetDropCaret(TByte byte, TRow row) { caret_ = LimitPos({byte, row}); }
  // Caret one character left / right (over double-byte characters and row ends).
  TRowPos CharLeft(TRowPos p) const;
  TRowPos CharRight(TRowPos p) const;

  bool AutoIndent = false;
  bool ReadOnly = false;
  bool CaretScrollFix = false;

  // ---- undo (FenEditUndo.cpp) --------------------------------------------------------
  bool RecordUndo(unsigned char kind, const std::string& text, TRow row, TByte byte);
  void Undo();
  void Redo();
  void ClearUndo();
  bool CanUndo() const { return !undoList_.empty() && UndoBuf_ > 0; }
  bool CanRedo() const { return !redoList_.empty(); }
  int GetUndoBuf() const { return UndoBuf_; }
  void SetUndoBuf(int value) { UndoBuf_ = value < 0 ? 0 : value; }
  const std::deque<TUndoStep>& UndoList() const { return undoList_; }
  const std::deque<TUndoStep>& RedoList() const { return redoList_; }
  size_t UndoTotal() const { return undoTotal_; }
  size_t RedoTotal() const { return redoTotal_; }
  bool UndoTruncated() const { return undoTruncated_; }
  bool UndoRec = true;

  // ---- search (FenEditSearch.cpp) ------------------------------------------------------
  // The engine never compares text itself: OnFind sets x to the 1-based start of the first
  // match in Str (0: none) and may change len; index is the row Str starts in. Str begins at a
  // character boundary and carries the bytes of the following rows a match may run into.
  using TFindEvent = std::function<void(TObject* Sender, std::string_view Str,
                                        const std::string& findchr, int index, int& x, int& len)>;
  using TFindHitEvent = std::function<void(TObject* Sender, const std::string& findchr, int x,
                                           int y, int len, int Count)>;
  using TFindNoHitEvent = std::function<void(TObject* Sender, const std::string& findchr)>;
  using TFindChangeEvent = std::function<void(
      TObject* Sender, const std::string& findchr, const std::string& Changechr, int x, int y,
      int len, int Count, bool& ChangeF, bool& kakuninF, bool& AbortF)>;
  using TFindChangeEndEvent = std::function<void(TObject* Sender, const std::string& findchr,
                                                 const std::string& ChangeStr, int Count)>;
  // A hit: its first byte and row, and its length (0: no hit).
  struct TSearchHit {
    TByte Byte = 0;
    TRow Row = 0;
    int Len = 0;
    friend bool operator==(const TSearchHit&, const TSearchHit&) = default;
  };

  void SetFindText(const std::string& s);
  void FindFirst();
  void FindNext();
  void FindPrev();
  void ReplaceText(const std::string& find, const std::string& replace, bool wholeText,
                   bool confirm, bool fromTop);
  void HighlightHit(TColor colour);
  void ResetSearch();
  // Replaces the bytes from..to (to may lie in a later row) by text: a deletion and an
  // insertion recorded at one place, so one undo takes both back. The caret ends after text.
  void ReplaceRange(std::string_view text, TRowPos from, TRowPos to, bool repaint);
  const TSearchHit& CurrentHit() const { return hit_; }
  bool HitHighlighted() const { return hitShown_; }
  TColor HitColor() const { return hitColor_; }
  int FindCount() const { return findCount_; }
  const std::string& FindText() const { return findStr_; }

  TFindEvent OnFind;
  TFindHitEvent OnFindHit;
  TFindNoHitEvent OnFindNoHit;
  TFindChangeEvent OnFindChange;
  TFindChangeEndEvent OnFindChangeEnd;

  // ---- events -----------------------------------------------------------------------
  TNotifyEvent OnChange;
  TChangemodifyEvent OnChangeModify;
  TChangeRedoEvent OnChangeRedoMode;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnMoveCaret;

  // Checks the store's invariants; returns an empty string when they hold (tests).
  std::string CheckInvariants() const;

  // ==== view: properties, messages, drawing, caret and scrolling ==========================
  // (FenEditMessages.cpp, FenEditPaint.cpp, FenEditCaret.cpp)
  void WndProc(TMessage& message) override;
  // ==== end of view =======================================================================

  // ==== input: keyboard, input method, mouse, text drag ==================================
  // (FenEditKeys.cpp, FenEditIme.cpp, FenEditMouse.cpp)
  // Input messages the control handles itself before the base's steps; true when handled.
  bool InputMessage(TMessage& message);
  // ==== end of input ======================================================================

 protected:
  // ---- hooks the view fills in; the engine calls them where it would repaint -------------
  virtual void RepaintAll() {}
  virtual void RepaintRows(TRow /*first*/, TRow /*last*/) {}
  virtual void RepaintFrom(TRow /*first*/) {}
  virtual void UpdateScrollRange() {}
  // Places the caret and brings it into view; the engine's default only limits it.
  virtual bool ScrollToCaret(TRowPos p, TCaretPlacement placement, bool rememberColumn,
                             bool collapse);
  virtual void ImeWindowToOrigin() {}
  // The last row in view; the caller of a trim repaints up to it.
  virtual TRow LastVisibleRow() const { return Store.Count() - 1; }
  // Raises OnSelectionChange and OnMoveCaret when the caret moved since the last call.
  void NotifyCaretMoved(bool force = false);
  virtual void ShowCodedMessage(const char* code);

  void ResetState();
  void SetModifiedFlag(bool value);  // raises OnChangeModify on change
  void RaiseChange() {
    if (OnChange) OnChange(this);
  }
  int PixelX(TRow row, TByte byte) const;
  // Splits text into rows at CR LF only; the last row ends in two NULs when final.
  static void SplitTextRows(std::string_view text, bool final, std::vector<std::string>& rows);
  // The editor's normal form of text coming in: ends at its first NUL.
  static std::string_view CutAtNul(std::string_view text);
  // First row of the logical line holding row, and the row that ends it.
  TRow LineFirstRow(TRow row) const;
  TRow LineLastRow(TRow row) const;
  void ApplyStep(bool undo);
  std::string TextBetween(TRowPos a, TRowPos b) const;
  TRowPos OffTrailByte(TRowPos p) const;
  // Removes the character at p as Delete does; returns the removed bytes.
  std::string RemoveCharAt(TRowPos p);
  void Trim(TRow& first, TRow& last, bool fullWidth, bool left, bool right);
  static bool Before(TRowPos a, TRowPos b) {
    return a.Row < b.Row || (a.Row == b.Row && a.Byte < b.Byte);
  }

  TFenStrings Store;
  bool WordWrap_ = true;
  int Column_ = 72;
  bool AutoWrap_ = false;
  int TabCount_ = 6;
  bool SingleByteMode_ = false;

  TRowPos caret_;
  TRowPos anchor_;
  TRowPos selEnd_;
  bool selected_ = false;
  bool selectAll_ = false;
  bool insertMode_ = true;
  bool modified_ = false;
  TByte rememberedColumn_ = 0;
  int caretX_ = 0;
  int horzOffset_ = 0;
  TRow topRow_ = 0;
  bool hitShown_ = false;  // search hit highlighted
  TRowPos notifiedCaret_{-1, -1};
  int notifiedX_ = -1;

  std::deque<TUndoStep> undoList_;
  std::deque<TUndoStep> redoList_;
  size_t undoTotal_ = 0;
  size_t redoTotal_ = 0;
  int UndoBuf_ = 0xF8000;
  bool undoTruncated_ = false;
  bool redoAvailable_ = false;
  bool applying_ = false;

 private:
  // ---- search state (FenEditSearch.cpp) -------------------------------------------------
  // Forward searches go on from searchPos_ (after the last hit); backward searches look
  // before searchBack_ (the last hit's start). The end of a replace range is kept as what
  // lies after it (whole lines, and the bytes to its own line's end), which replacing before
  // it never changes, so it holds however the rows in front are rewrapped.
  bool SearchForward(TRowPos from, TRowPos end, TSearchHit& hit);
  bool SearchBackward(TRowPos limit, TSearchHit& hit);
  std::string_view SearchText(TRow row, TByte offset, TByte partEnd, TRowPos end);
  bool AskFind(std::string_view str, TRow row, TByte partLen, TByte offset, TSearchHit& hit);
  void FindStep(bool forward);
  TRowPos SkipBytes(TRowPos p, long long n, TRowPos end) const;
  TRowPos SkipHit(const TSearchHit& hit, TRowPos end) const;
  TRowPos TextEndPos() const;
  TRowPos ClampSearchPos(TRowPos p) const;
  void SetRangeEnd(TRowPos end);
  TRowPos RangeEnd() const;
  void RemoveHitHighlight();
  void RepaintHit();
  // Line ends before row Row: the replace loop moves it forward with its hits, so that the
  // logical position of each replacement costs only the rows passed since the last one.
  struct TLineCursor {
    TRow Row = 0;
    int Lines = 0;
  };
  TLinePos LinePosAt(TRowPos p, TLineCursor& cursor) const;
  void ReplaceRangeAt(std::string_view text, TRowPos from, TRowPos to, bool repaint,
                      TLineCursor* cursor);
  // RecordUndo at a known logical position (FenEditUndo.cpp).
  bool RecordUndoAt(unsigned char kind, std::string text, TLinePos pos);

  std::string findStr_;
  std::string replaceStr_;
  std::string searchBuf_;
  TRowPos searchPos_;
  TRowPos searchBack_;
  bool rangeWhole_ = true;
  int rangeLinesAfter_ = 0;
  long long rangeTail_ = 0;
  int findCount_ = 0;
  TSearchHit hit_;
  TColor hitColor_ = 0;
  bool newSearch_ = true;
  bool continuing_ = false;
  bool wrapped_ = false;
  bool kakunin_ = false;
  bool abort_ = false;

  std::unique_ptr<TFixedMetrics> fixedMetrics_;
  const TFenMetrics* metrics_ = nullptr;
};
