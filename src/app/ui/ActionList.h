// The main window's commands as one list of QActions (ActionList1) and the images they show
// (ImageList1). Each action keeps the classic properties beside Qt's own: a category, the
// two-part hint "short|long" (tool-tip and status tip) and an image index.
#pragma once
#include <QIcon>
#include <QObject>
#include <QString>
#include <vector>

class QAction;

// When an action is enabled, decided in the idle step.
enum class TEnableRule {
  Always,
  Selection,  // the editor's selected text is not empty
  Clipboard,  // the clipboard holds text
  Text,       // the editor's text is not empty
  NotFirst,   // the selected tab is not the first
  File,       // the current page has a file name
  NotSega,    // bulletin-board mode is off
  Preview,    // bulletin-board or preview mode on, and the text is not empty
  Popup,      // the last right press on the tab strip was over a tab other than the first
  Modified,   // set by the editor's OnChangeModify
  Redo,       // set by the editor's OnChangeRedoMode
  Check,      // always enabled; checked while what it switches is on
  Deleted,    // a deleted page can be put back
};

struct TActionDef {
  const char* Name;
  const char* Category;
  const char* Caption;
  const char* ShortCut;  // QKeySequence text; empty for none
  const char* Hint;      // "short|long"
  int ImageIndex;        // -1 for none
  TEnableRule Rule;
  bool StartsDisabled;
  int Tag;
};

// The short part of a hint (before the bar), or the whole hint when it has no bar.
QString GetShortHint(const QString& hint);
// The long part (after the bar), or the whole hint when it has no bar.
QString GetLongHint(const QString& hint);

class TImageList {
 public:
  static constexpr int kCount = 47;
  static constexpr int kSize = 16;
  // Each image is drawn again at these sizes for scaled screens (1.5, 2 and 3).
  static constexpr int kLargerSizes[] = {24, 32, 48};
  // Loads the images from the program's resources.
  TImageList();
  int Count() const { return static_cast<int>(icons_.size()); }
  QIcon Icon(int index) const;
  // Resource path of an image: ":/icons/NN.png", or ":/icons/SIZE/NN.png" at a larger size.
  static QString Path(int index, int size = kSize);
  // The program's own icon, in every size it is drawn at.
  static QIcon ProgramIcon();

 private:
  std::vector<QIcon> icons_;
};

class TActionList : public QObject {
  Q_OBJECT
 public:
  explicit TActionList(QObject* parent = nullptr) : QObject(parent) {}

  // Creates one action from its definition, owned by the list.
  QAction* Add(const TActionDef& def, const TImageList* images);
  int Count() const { return static_cast<int>(actions_.size()); }
  QAction* Action(int index) const { return actions_[index]; }
  TEnableRule Rule(int index) const { return rules_[index]; }
  const std::vector<QAction*>& Actions() const { return actions_; }
  // Null when no action has that name.
  QAction* Find(const QString& name) const;

  static QString Category(const QAction* action);
  static QString Hint(const QAction* action);
  static int ImageIndex(const QAction* action);
  static int Tag(const QAction* action);

 private:
  std::vector<QAction*> actions_;
  std::vector<TEnableRule> rules_;
};
