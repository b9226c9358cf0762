// TFenEdit: the editor control. This header holds its text engine (store, layout, editing,
// undo, search); the view, input and window parts are added by their own files.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "FenEditNotify.h"
#include "FenEditSub.h"
#include "Fenstrings.h"
#include "SearchSession.h"
#include "UndoHistory.h"
#include "ViewGeometry.h"
#include "platform/CustomControl.h"
#include "platform/Graphics.h"

using TChangeRedoEvent = std::function<void(TObject* Sender, bool RedoEnable)>;
using TChangemodifyEvent = std::function<void(TObject* Sender, bool modified)>;

// A whole text as an editor held it, in its rows, while another text is shown. It is only
// moved, never copied.
class TFenDocument {
 public:
  TFenDocument() = default;
  TFenDocument(TFenDocument&&) noexcept = default;
  TFenDocument& operator=(TFenDocument&&) noexcept = default;
  TFenDocument(const TFenDocument&) = delete;
  TFenDocument& operator=(const TFenDocument&) = delete;

  // Bytes of the text (what GetText would give).
  size_t TextLength() const;
  // The text, CR LF between lines.
  std::string Text() const;

 private:
  friend class TFenEdit;
  // What the rows were cut for; the same values give the same rows.
  struct TLayout {
    bool wrap = false;
    int column = 0;
    bool autoWrap = false;
    int tabCount = 0;
    bool singleByte = false;
    int charWidth = 0;
    int areaWidth = 0;
    int probeWidth = 0;
    bool operator==(const TLayout&) const = default;
  };
  std::vector<std::string> rows_;  // as the store holds them; empty for an empty document
  TLayout layout_;
  bool rowsCutWithOldTabs_ = false;
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
  // Moves the whole text out, laid out as it is, and leaves the editor empty (as ClearAll).
  TFenDocument TakeDocument();
  // Shows a taken text as SetText would (caret at the start, undo emptied) without cutting
  // it into rows again; it is laid out anew only when the layout it was taken with differs.
  void PutDocument(TFenDocument&& document);
  // PutDocument would lay the text out anew.
  bool NeedsLayout(const TFenDocument& document) const;

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
  int HorzOffset() const { return geom_.HorzOffset; }
  TRow TopRow() const { return geom_.TopRow; }

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
  // Text put in where a client point is, as a middle click or a drop from another program
  // does: the selection is cancelled, not replaced. Nothing when read-only.
  void InsertAtPoint(int X, int Y, std::string_view text);
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
  bool RecordUndo(TUndoKind kind, const std::string& text, TRow row, TByte byte);
  void Undo();
  void Redo();
  void ClearUndo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  int GetUndoBuf() const { return history_.Budget(); }
  void SetUndoBuf(int value) { history_.SetBudget(value); }
  const std::deque<TUndoStep>& UndoList() const { return history_.Undos(); }
  const std::deque<TUndoStep>& RedoList() const { return history_.Redos(); }
  size_t UndoTotal() const { return history_.UndoTotal(); }
  size_t RedoTotal() const { return history_.RedoTotal(); }
  bool UndoTruncated() const { return history_.Truncated(); }
  const TUndoHistory& History() const { return history_; }
  bool UndoRec = true;
  // The steps recorded between the outermost Begin and End form one command: one Undo takes
  // them all back, one Redo makes them again, and the budget drops them only together. An
  // edit outside such a bracket is a command of its own.
  void BeginUndoGroup();
  void EndUndoGroup();
  class TUndoGroup {
   public:
    explicit TUndoGroup(TFenEdit& e) : e_(e) { e_.BeginUndoGroup(); }
    ~TUndoGroup() { e_.EndUndoGroup(); }
    TUndoGroup(const TUndoGroup&) = delete;
    TUndoGroup& operator=(const TUndoGroup&) = delete;

   private:
    TFenEdit& e_;
  };

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
  using TSearchHit = ::TSearchHit;

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
  const TSearchHit& CurrentHit() const { return search_.Hit; }
  bool HitHighlighted() const { return hitShown_; }
  TColor HitColor() const { return search_.HitColor; }
  int FindCount() const { return search_.Count; }
  const std::string& FindText() const { return search_.FindStr; }

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

  // The view the engine tells of its changes; null puts the control's own view back.
  void SetNotify(TFenEditNotify* notify) { notify_ = notify ? notify : &ownView_; }

  // Checks the store's invariants; returns an empty string when they hold (tests).
  std::string CheckInvariants() const;

  // ==== view: properties, messages, drawing, caret and scrolling ==========================
  // (FenEditView.cpp, FenEditMessages.cpp, FenEditPaint.cpp, FenEditCaret.cpp)
  enum TLineSizeUnit { uPercent, uPixel };
  enum TBorderStyle { bsNone, bsSingle };
  enum TDragMode { dmManual, dmAutomatic };
  // The drawing font as the owner sets it. A negative Height asks for that cell height; only
  // the face, the height and the colour are used for drawing.
  struct TFont {
    std::string Name = "FixedSys";
    int Height = -19;  // size 14 at 96 dots per inch
    TColor Color = clBlack;
    friend bool operator==(const TFont&, const TFont&) = default;
  };
  using TASeikeiEvent = std::function<void(TObject* Sender, bool DeleteF)>;
  using TManualStartDragEvent =
      std::function<void(TObject* Sender, const std::string& SelectStr, bool& CanDrag)>;
  using TUserDrawEvent = std::function<void(TObject* Sender, int c1, int c2, int x1, int x2)>;
  using TUserClientDrawEvent = std::function<void(TObject* Sender, int x1, int x2, int L1, int L2)>;
  using TChangeinsEvent = std::function<void(TObject* Sender, bool insmode)>;

  void WndProc(TMessage& message) override;
  void Loaded() override;
  void Paint() override;

  // ---- published properties (setters clamp silently) ----
  int GetTopMargin() const { return TopMargin_; }
  void SetTopMargin(int value);  // 0..30, applied at window creation
  int GetLeftMargin() const { return LeftMargin_; }
  void SetLeftMargin(int value);  // 0..30, applied at window creation
  int GetScrollStep() const { return ScrollStep_; }
  void SetScrollStep(int value);  // a byte
  int GetWheelStep() const { return WheelStep_; }
  void SetWheelStep(int value);  // a byte
  bool GetCurSetMode() const { return CurSetMode_; }
  void SetCurSetMode(bool value);
  // Colours are frozen to plain RGB when set.
  TColor GetSelColor() const { return SelColor_; }
  void SetSelColor(TColor c) { SelColor_ = ColorToRGB(c); }
  TColor GetCREOFcolor() const { return CREOFcolor_; }
  void SetCREOFcolor(TColor c) { CREOFcolor_ = ColorToRGB(c); }
  TColor GetURLColor() const { return URLColor_; }
  void SetURLColor(TColor c) { URLColor_ = ColorToRGB(c); }
  TColor GetInyoColor() const { return InyoColor_; }
  void SetInyoColor(TColor c) { InyoColor_ = ColorToRGB(c); }
  TColor GetUlineColor() const { return UlineColor_; }
  void SetUlineColor(TColor c) { UlineColor_ = ColorToRGB(c); }
  TColor GetColor() const { return Color_; }
  void SetColor(TColor c);  // repaints at once
  int GetLineSpace() const { return LineSpace_; }
  void SetLineSpace(int value);  // 0..100
  TLineSizeUnit GetLineSpaceUnit() const { return LineSpaceUnit_; }
  void SetLineSpaceUnit(TLineSizeUnit value);
  TBorderStyle GetBorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle value);  // recreates the window
  const TFont& GetFont() const { return Font_; }
  // The colour shows at the next repaint; face and height at the next window creation.
  void SetFont(const TFont& font);
  int GetLineNoColumn() const { return LineNoColumn_; }
  void SetLineNoColumn(int value);  // 1..5, applied at window creation
  bool ShowEOF = true;
  bool ShowCR = true;
  bool ShowDblSpace = true;
  bool ShowTAB = false;
  bool ShowUnderLine = false;
  bool HorzScrollBar = false;   // applied at window creation
  bool VertScrollBar = true;    // applied at window creation
  bool ShowLineNumber = false;  // applied at window creation
  bool WantTabs = true;
  bool TabStop = true;
  int TabOrder = 0;
  std::string Inyostr = ">";
  bool ColorPrintF = true;
  std::string Version = "TFenEdit Ver1.28";
  TDragMode DragMode = dmAutomatic;
  bool Ctl3D = true;
  bool ParentFont = false;
  bool ShowHint = false;
  bool Enabled = true;
  bool Visible = true;

  // ---- events of the view and the input side ----
  TASeikeiEvent OnAseikei;  // never raised: nothing turns its switch on
  TNotifyEvent OnPaint;
  TManualStartDragEvent OnManualStartDrag;
  TUserDrawEvent OnUserDraw;
  TUserClientDrawEvent OnUserClientDraw;
  TChangeinsEvent OnChangeInsMode;
  TNotifyEvent OnIMEChanging;
  TNotifyEvent OnIMEChanged;
  TNotifyEvent OnIMEReConvert;

  // ---- public operations ----
  // Repaints the visible part of rows first..last with the caret hidden.
  void RedrawRows(TRow first, TRow last);
  // Empties the text, resets the state and creates the window again so the font, margins,
  // gutter, border and scroll bars take effect. The caller puts the text back.
  void Recreate();

  // ---- geometry (zero until the window exists) ----
  int CharHeight() const { return geom_.CharHeight; }
  int AveCharWidth() const { return geom_.AveCharWidth; }
  int LineHeight() const { return geom_.LineHeight; }
  int VisibleRows() const { return geom_.VisibleRows; }
  int RowMargin() const { return geom_.RowMargin; }
  int TextLeft() const { return geom_.TextLeft; }
  int GutterWidth() const { return geom_.GutterWidth; }
  int HorzStep() const { return geom_.HorzStep; }
  int CaretMarginX() const { return geom_.CaretMarginX; }
  int TextAreaWidth() const { return ClientWidth() - geom_.TextLeft; }
  int TextAreaHeight() const { return ClientHeight() - TopMargin_; }
  TRow MaxTopRow() const;
  int MaxRowWidth();
  int VScrollScale() const { return geom_.VScrollScale; }
  int HScrollScale() const { return geom_.HScrollScale; }
  int KeyRepeat() const { return keyRepeat_; }
  void ResetKeyRepeat() { keyRepeat_ = 0; }
  // The registered message ids.
  unsigned GetCaretPosMessage() const { return WM_TFENEDIT_GETCARETPOS_; }
  unsigned SetCaretPosMessage() const { return WM_TFENEDIT_SETCARETPOS_; }

  // ---- caret and scrolling, for the keyboard and mouse code ----
  // Puts the system caret and the composition window at the caret (while focused) and
  // raises OnSelectionChange/OnMoveCaret when the caret moved since the last time.
  void PlaceCaret();
  // Nearest character boundary to pixel x (relative to the row's text start, tabs
  // expanded) in a row without its terminator; boundaryX gets that boundary's x.
  TByte RowHitTest(TRow row, int x, int& boundaryX) const;
  // Moves the caret n rows keeping the remembered column's pixel x; extends or clears the
  // selection as the move asks (Shift or a mouse selection).
  void MoveCaretVert(int n);
  // Up (n = -1) and Down (n = +1) with edge scrolling and key-repeat acceleration.
  void CaretUpDown(int n);
  // Page Up (dir < 0) and Page Down: scroll a page, or move the caret when nothing scrolled.
  void CaretPage(int dir);
  // Keeps the caret inside the text area after a move right (once: at most one step) / left.
  void KeepCaretRight(bool once);
  void KeepCaretLeft();
  // After a caret move: with extend, the selection runs from the anchor (the old caret when
  // none) to the caret and the changed stretch is repainted; without, it is cleared.
  void SelectionAfterMove(TRowPos oldCaret, bool extend);
  // Whether a and b are one place in the text (a row's end and the next row's start are).
  bool SamePlace(TRowPos a, TRowPos b) const;
  // A whole-text selection becomes the ordinary one between its stored ends; false when there
  // was none.
  bool SelectAllToRange();
  // A selection whose ends met is none.
  void DropEmptySelection();
  // Whether a caret move extends the selection now: Shift held or a mouse selection.
  bool ExtendingSelection() const;
  // Repaints the stretch between the previously drawn caret and the caret (selection held).
  void PaintSelectionStep();
  // The WM_VSCROLL / WM_HSCROLL work: returns rows scrolled / 0.
  int VScroll(unsigned code, int thumb);
  int HScroll(unsigned code, int thumb);
  void MouseWheel(int delta);
  // Scroll ranges; the vertical one also adjusts the gutter (true when it changed).
  bool SetVScrollRange(bool redraw);
  void SetHScrollRange(bool redraw);
  void DrawCaretRule();
  void EraseCaretRule();
  // The rule follows the pointer's row during a mouse selection without a selection.
  void MoveCaretRuleTo(TRow row);
  // Makes the caret's offset the column vertical moves keep.
  void RememberColumn() {
    rememberedColumn_ = caret_.Byte;
    cachedColumn_ = -1;
  }
  // ==== end of view =======================================================================

  // ==== input: keyboard, input method, mouse, text drag ==================================
  // (FenEditKeys.cpp, FenEditIme.cpp, FenEditMouse.cpp)
  // Input messages the control handles itself before the base's steps; true when handled.
  bool InputMessage(TMessage& message);
  bool Composing() const { return composing_; }
  // A text drag started by this control is running.
  bool DraggingText() const { return dragText_; }
  // Where the pointer left the text area while selecting: 0, -1 up, +1 down, +2 right, -2 left.
  int AutoScrollDir() const { return autoScrollDir_; }
  // The 40 ms timer that scrolls while the button is held outside the text area.
  static constexpr unsigned kAutoScrollTimer = 1;
  static constexpr unsigned kAutoScrollInterval = 40;

  // ---- framework steps ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyUp(unsigned& Key, TShiftState Shift) override;
  void DoStartDrag() override;
  void DragOver(TObject* Source, int X, int Y, bool& Accept) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;

  // ---- caret moves of the keys (FenEditKeys.cpp); each ends extending or clearing ----
  void CaretRight(bool word);
  void CaretLeft(bool word);
  void CaretHome();
  void CaretEnd();
  void CaretTextStart();
  void CaretTextEnd();
  // ==== end of input ======================================================================

 protected:
  // ---- what the engine tells the view, through notify_ ----
  void RepaintAll() { notify_->RepaintAll(); }
  void RepaintRows(TRow first, TRow last) { notify_->RepaintRows(first, last); }
  void RepaintFrom(TRow first) { notify_->RepaintFrom(first); }
  void UpdateScrollRange() { notify_->UpdateScrollRange(); }
  // Places the caret and brings it into view; returns whether the view scrolled.
  bool ScrollToCaret(TRowPos p, TCaretPlacement placement, bool rememberColumn, bool collapse);
  void ImeWindowToOrigin() { notify_->ImeWindowToOrigin(); }
  TRow LastVisibleRow() const { return notify_->LastVisibleRow(); }
  void ShowCodedMessage(const char* code) { notify_->ShowCodedMessage(code); }
  // Raises OnSelectionChange and OnMoveCaret when the caret moved since the last call.
  void NotifyCaretMoved(bool force = false);

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
  TFenDocument::TLayout CurrentLayout() const;
  bool WordWrap_ = true;
  int Column_ = 72;
  bool AutoWrap_ = false;
  int TabCount_ = 6;
  bool rowsCutWithOldTabs_ = false;  // TabCount changed since the rows were cut
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
  bool hitShown_ = false;  // search hit highlighted
  TRowPos notifiedCaret_{-1, -1};
  int notifiedX_ = -1;

  TUndoHistory history_;
  bool applying_ = false;    // undo or redo is changing the text: nothing is recorded
  bool batchApply_ = false;  // applying a command of several steps: view work once at its end
  void ApplyCommand(bool undo);
  // Rows rewrapped since the step began: what undoing or redoing it repaints, as typing does —
  // only those rows, or everything below when the row count changed.
  struct TEditedRows {
    TRow First = -1;
    TRow Last = -1;
    bool CountChanged = false;
  };
  TEditedRows edited_;
  void RepaintEdited(int countBefore);
  // Where the last DeleteSelection took text out, and whether the caret stands exactly there
  // although that is between a CR and an LF (see DeleteSelectionForInsert).
  TLinePos deletedAt_;
  bool exactCaret_ = false;
  void DeleteSelectionForInsert();
  void SelectionToDelete(TRowPos& s, TRowPos& e) const;

  // ==== view state (FenEditView.cpp, FenEditPaint.cpp, FenEditCaret.cpp) ==================
  void CreateParams(TCreateParams& params) override;
  bool ViewMessage(TMessage& message);  // true when answered
  void CreateView();                    // WM_CREATE: font, metrics, gutter
  void ComputeGeometry();
  void ComputeRowHeight();
  void SelectDrawingFont();
  void RestoreCanvas();
  void FullPaint();
  // Rows first..last, cut to the visible rows, drawn plainly with links, then the gutter,
  // the rule and OnUserClientDraw.
  void PartialPaint(TRow first, TRow last);
  bool PaintSelectedRows(TRow first, TRow last);
  void PaintRowPlain(TRow row);
  void PaintRowSelected(TRow row, TRowPos s, TRowPos e, TColor selBack);
  void PaintSegment(TRow row, TByte p, TByte q, bool selected, TColor selBack);
  void PaintHitOver(TRow first, TRow last);
  void ColourLinks(TRow first, TRow last, const TRect* clip);
  void PaintGutter(TRow first, TRow last);
  void DrawCRArrow(int x, int y, TColor c);
  // Full-width space boxes and tab arrows of bytes p..q of a row drawn from originX.
  void DrawMarks(TRow row, TByte p, TByte q, int originX, int y, const TRect& clip, bool selected);
  void DrawLink(TRow row, TByte i, TByte j, const TRect* clip);
  // First row of row's logical line: a short walk up, else the store's line index.
  TRow LineStartRow(TRow row) const;
  // During one paint the rows go downwards: the line start found last serves the rows below
  // it in the same line. Valid only inside a TPaintPass (the store does not change there).
  struct TLineStartHint {
    TRow Row = -1;
    TRow Start = 0;
  };
  mutable TLineStartHint lineStartHint_;
  mutable int paintPasses_ = 0;
  struct TPaintPass {
    explicit TPaintPass(const TFenEdit& e) : e_(e) {
      if (e_.paintPasses_++ == 0) e_.lineStartHint_ = {};
    }
    ~TPaintPass() {
      if (--e_.paintPasses_ == 0) e_.lineStartHint_ = {};
    }
    TPaintPass(const TPaintPass&) = delete;
    TPaintPass& operator=(const TPaintPass&) = delete;
    const TFenEdit& e_;
  };
  void DottedLine(int x1, int y1, int x2, int y2, TColor c);
  TColor QuoteColor(TRow row) const;
  int RowTop(TRow row) const { return (row - geom_.TopRow) * geom_.LineHeight + TopMargin_; }
  TRow LastShownRow() const;
  bool AdjustGutter();
  void CallUserDraw();
  int ClientDrawRight() const;
  int RowWidth(TRow row) const;  // pixels, tabs expanded, terminator excluded
  void SizeView();               // WM_SIZE
  // The view's part of ScrollToCaret: scrolls to the caret placed already.
  bool BringIntoView(TCaretPlacement placement);
  void ViewUpdateScrollRange();
  void ViewImeWindowToOrigin();
  TRow ViewLastVisibleRow() const;

  // The control's own view: the drawing and scrolling of the view files.
  class TOwnView : public TFenEditNotify {
   public:
    explicit TOwnView(TFenEdit& e) : e_(e) {}
    void RepaintAll() override;
    void RepaintRows(TRow first, TRow last) override;
    void RepaintFrom(TRow first) override;
    void UpdateScrollRange() override { e_.ViewUpdateScrollRange(); }
    bool CaretPlaced(TCaretPlacement placement) override { return e_.BringIntoView(placement); }
    void ImeWindowToOrigin() override { e_.ViewImeWindowToOrigin(); }
    TRow LastVisibleRow() const override { return e_.ViewLastVisibleRow(); }
    void ShowCodedMessage(const char* code) override;

   private:
    TFenEdit& e_;
  };
  TOwnView ownView_{*this};
  TFenEditNotify* notify_ = &ownView_;
  void MoveCaretRows(int n);

  // Measures with the drawing font for the layout.
  class TViewMetrics : public TFenMetrics {
   public:
    explicit TViewMetrics(TFenEdit& e) : e_(e) {}
    int TextWidth(std::string_view bytes) const override;
    int AveCharWidth() const override;
    int TextAreaWidth() const override;

   private:
    TFenEdit& e_;
  };
  TViewMetrics viewMetrics_{*this};

  int TopMargin_ = 4;
  int LeftMargin_ = 10;
  int ScrollStep_ = 2;
  int WheelStep_ = 2;
  bool CurSetMode_ = true;
  TColor SelColor_ = clBlack;
  TColor CREOFcolor_ = clTeal;
  TColor URLColor_ = clBlue;
  TColor InyoColor_ = clGray;
  TColor UlineColor_ = clBlack;
  TColor Color_ = clWhite;
  int LineSpace_ = 10;
  TLineSizeUnit LineSpaceUnit_ = uPercent;
  TBorderStyle BorderStyle_ = bsNone;
  TFont Font_;
  int LineNoColumn_ = 5;

  bool viewCreated_ = false;  // metrics taken (WM_CREATE seen)
  TFontSpec drawFont_;
  TViewGeometry geom_;
  int keyRepeat_ = 0;
  int wheelRest_ = 0;  // wheel delta not yet worth a step
  int dotCounter_ = 0;
  TRowPos prevDrawn_;        // where the selection was last painted up to
  int ruleY_ = -1;           // y of the caret-row rule on screen, -1 none
  TByte cachedColumn_ = -1;  // remembered column whose pixel width is cached
  int cachedColumnX_ = 0;
  bool inScroll_ = false;        // a WM_VSCROLL is being processed
  bool keyInProgress_ = false;   // set by the key code while it handles WM_KEYDOWN
  bool scrollByEnter_ = false;   // Enter scrolls and places the caret itself
  bool mouseSelecting_ = false;  // set by the mouse code from press to release
  bool imeFontSet_ = false;      // the input method took the drawing font since the focus came
  int paintedCount_ = -1;        // rows in the store at the last paint
  // Registered at construction, so other windows find them by the same names.
  unsigned WM_TFENEDIT_GETCARETPOS_ = RegisterWindowMessage("WM_TFENEDIT_GETCARETPOS");
  unsigned WM_TFENEDIT_SETCARETPOS_ = RegisterWindowMessage("WM_TFENEDIT_SETCARETPOS");
  // ==== end of view state ==================================================================

  // ==== input state (FenEditKeys.cpp, FenEditIme.cpp, FenEditMouse.cpp) ====================
  void KeyDownStep(unsigned key);
  void SysKeyDownStep(unsigned key);
  void CharStep(unsigned char code);
  void ReConvert();
  // Brings the caret into view (keep, Minimal, remember column) when CaretScrollFix is on.
  void CaretIntoViewIfFixed();
  bool KeyHeld(unsigned vk) const;
  void StartComposition();
  void EndComposition();
  void CompositionMessage(const TMessage& message);
  // WM_IME_REQUEST: the text around the caret, and removing some of it.
  LRESULT ImeRequest(WPARAM request, LPARAM data);
  void ImeSurrounding(std::string& text, int& cursor, int& anchor) const;
  bool ImeDeleteAround(int from, int to);
  // The hit test of a client point: caret, remembered column, CaretX and HorzOffset.
  void PointHitTest(int X, int Y);
  bool InsideSelection(TRowPos p) const;
  void LeftPress(TShiftState Shift, int X, int Y);
  void AutoScrollTick();
  // Pointer move while selecting or dragging text: auto-scroll direction or the caret.
  void TrackPointer(int X, int Y);
  void FinishMouseSelection();
  void SetDragCursorShown(TCursor c);

  bool composing_ = false;
  bool dblClickPending_ = false;
  bool dragText_ = false;
  int autoScrollDir_ = 0;
  bool savedScrollFix_ = false;
  TRowPos dragOrigin_;
  TCursor savedDragCursor_ = 1;
  bool dragCursorSwitched_ = false;
  bool menuShownByPress_ = false;  // the right press popped the menu; its WM_CONTEXTMENU is spent
  // ==== end of input state ==================================================================

 private:
  // ---- search state (FenEditSearch.cpp) -------------------------------------------------
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
  // Returns the place where the inserted text ends.
  TRowPos ReplaceRangeAt(std::string_view text, TRowPos from, TRowPos to, bool repaint,
                         TLineCursor* cursor);
  // Replace-all without asking, in one pass from pos to end; returns the replacements made and
  // sets after to the place behind the last one.
  int ReplaceRest(TRowPos pos, TRowPos end, TRowPos& after);
  // RecordUndo at a known logical position (FenEditUndo.cpp).
  bool RecordUndoAt(TUndoKind kind, std::string text, TLinePos pos);
  // What any recorded edit raises: the modified flag set, redo gone.
  void NoteRecordedEdit();
  // Empties the redo list, telling OnChangeRedoMode when redo had been available.
  void DropRedo();

  TSearchSession search_;

  std::unique_ptr<TFixedMetrics> fixedMetrics_;
  const TFenMetrics* metrics_ = nullptr;
};
