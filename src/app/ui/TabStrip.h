// A tab strip with a client area below the tabs (the main window's TabControl1). Tabs sit in
// one row that scrolls with two arrow buttons, or, with MultiLine, in as many rows as they
// need. Selection, the context menu and dragging behave the same in both modes.
//
// A left press on a tab selects it (OnChanging, then OnChange) before OnMouseDown is raised,
// so a handler that starts a drag there drags the tab just selected. The press is hit-tested
// before that selection (PressedIndex), and while the left button is held the tabs keep their
// places (multi-line rows turn, a scrolled row scrolls, only on release), so a drag and its
// drop meet the tabs the user saw. Selecting from code (SetTabIndex) raises no event. Captions use
// '&' to mark a mnemonic; "&&" shows one '&'.
#pragma once
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QMenu;
class QToolButton;

class TTabStrip : public QWidget {
  Q_OBJECT

 public:
  explicit TTabStrip(QWidget* parent = nullptr);

  int Count() const { return static_cast<int>(captions_.size()); }
  QString Caption(int index) const;
  void SetCaption(int index, const QString& caption);
  QStringList Captions() const { return captions_; }
  // Appends a tab and returns its position.
  int Add(const QString& caption);
  void Insert(int index, const QString& caption);
  // Removes a tab; the selection stays on the same position where it can (a caller picks).
  void Delete(int index);
  // Takes the tab at `from` out and inserts it at `to`; the selection follows the tab.
  void Move(int from, int to);
  void Clear();

  // -1 only while there are no tabs.
  int TabIndex() const { return tabIndex_; }
  // Selection from code: no OnChanging / OnChange. Out-of-range values are ignored.
  void SetTabIndex(int index);

  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool on);

  // The widget shown in the client area (the editor); the strip does not take ownership
  // away from Qt's parent-child rule: it becomes a child of the strip.
  void SetClient(QWidget* client);
  QWidget* Client() const { return client_; }
  // Area below the tab rows, inside the frame.
  QRect ClientRect() const;

  // The tab's rectangle in this widget; empty when it is scrolled out of view.
  QRect TabRect(int index) const;
  // Position of the visible tab under `pos`, or -1.
  int IndexOfTabAt(QPoint pos) const;
  // The tab under the last press, as hit before the press selected anything; -1 for none.
  int PressedIndex() const { return pressedIndex_; }
  // All rows, and those in view (fewer when the rows scroll).
  int RowCount() const { return rowCount_; }
  int VisibleRowCount() const { return visibleRows_; }
  // Multi-line: rows that would leave the client area lower than this scroll instead (the
  // selected tab's row, next to the client, stays in view). 0: the rows always show whole.
  void SetMinClientHeight(int height);
  int MinClientHeight() const { return minClientHeight_; }
  // Single-row mode: the first tab shown after scrolling.
  int FirstVisibleTab() const { return firstVisible_; }
  // Single row: by tabs, positive to the right. Multi-line with scrolling rows: by rows,
  // negative towards the rows furthest from the client area.
  void ScrollTabs(int delta);

  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
  QMenu* PopupMenu() const { return popupMenu_; }

  // Called from OnMouseDown for a left press: the drag starts once the pointer has moved
  // `threshold` pixels with the button held.
  void BeginDrag(int threshold);
  bool Dragging() const { return dragging_; }
  // Whether the last drag position was accepted (what the cursor shows).
  bool DragAccepted() const { return dragAccepted_; }
  void CancelDrag();

  // Events, raised only when set, sender first.
  std::function<void(TTabStrip*, bool& allowChange)> OnChanging;
  std::function<void(TTabStrip*)> OnChange;
  std::function<void(TTabStrip*, Qt::MouseButton, QPoint)> OnMouseDown;
  // Over the tab rows while dragging; positions in this widget. The client area (the editor)
  // and anything outside the strip refuse the drop without asking.
  std::function<void(TTabStrip*, QPoint, bool& accept)> OnDragOver;
  std::function<void(TTabStrip*, QPoint)> OnDragDrop;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int TabHeight() const;
  int TabWidth(int index) const;
  // Right edge of the area the tab rows may use (left of the scroll buttons).
  int TabAreaRight() const;
  void Relayout();
  // Places the tabs in rows no wider than `right`, at y 0; returns the number of rows.
  int FillRows(int right, std::vector<int>& rowOf);
  void EnsureVisible(int index);
  bool AcceptsDropAt(QPoint pos);
  void UpdateDragCursor(QPoint pos);
  // The left button is up: let the tabs settle around the selection.
  void ReleaseHeldTabs();

  QStringList captions_;
  std::vector<QRect> rects_;
  int tabIndex_ = -1;
  bool multiLine_ = false;
  int firstVisible_ = 0;
  int rowCount_ = 1;
  int visibleRows_ = 1;
  bool rowScrolling_ = false;
  int rowScroll_ = 0;  // rows hidden below the view, counted from the client area up
  int minClientHeight_ = 0;
  int stripHeight_ = 0;
  bool scrolling_ = false;
  QWidget* client_ = nullptr;
  QMenu* popupMenu_ = nullptr;
  QToolButton* scrollLeft_ = nullptr;
  QToolButton* scrollRight_ = nullptr;

  bool leftDown_ = false;
  int pressedIndex_ = -1;
  // Multi-line: the row shown next to the client area.
  int baseRow_ = -1;
  QPoint pressPos_;
  int dragThreshold_ = -1;  // -1: no drag asked for
  bool dragging_ = false;
  bool dragAccepted_ = false;
};
