#include "ActionList.h"

#include <QAction>
#include <QKeySequence>

// The images are compiled into this static library, whose resource object the linker drops
// unless something refers to it.
static void InitResources() {
  Q_INIT_RESOURCE(resources);
}

QString GetShortHint(const QString& hint) {
  qsizetype bar = hint.indexOf('|');
  return bar < 0 ? hint : hint.left(bar);
}

QString GetLongHint(const QString& hint) {
  qsizetype bar = hint.indexOf('|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}

TImageList::TImageList() {
  InitResources();
  icons_.reserve(kCount);
  for (int i = 0; i < kCount; ++i) {
    // Drawn at each size, so a scaled screen gets its own pixels rather than stretched ones.
    QIcon icon(Path(i));
    for (int size : kLargerSizes) icon.addFile(Path(i, size), QSize(size, size));
    icons_.push_back(icon);
  }
}

QIcon TImageList::ProgramIcon() {
  InitResources();
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/app/piyonote2-%1.png").arg(size), QSize(size, size));
  return icon;
}

QIcon TImageList::Icon(int index) const {
  if (index < 0 || index >= Count()) return {};
  return icons_[index];
}

QString TImageList::Path(int index, int size) {
  QString name = QStringLiteral("%1.png").arg(index, 2, 10, QLatin1Char('0'));
  return size == kSize ? ":/icons/" + name : QStringLiteral(":/icons/%1/").arg(size) + name;
}

QAction* TActionList::Add(const TActionDef& def, const TImageList* images) {
  auto* action = new QAction(QString::fromUtf8(def.Caption), this);
  action->setObjectName(QString::fromLatin1(def.Name));
  QString hint = QString::fromUtf8(def.Hint);
  action->setProperty("Category", QString::fromUtf8(def.Category));
  action->setProperty("Hint", hint);
  action->setProperty("ImageIndex", def.ImageIndex);
  action->setProperty("Tag", def.Tag);
  action->setToolTip(GetShortHint(hint));
  action->setStatusTip(GetLongHint(hint));
  if (def.ShortCut[0]) action->setShortcut(QKeySequence(QString::fromLatin1(def.ShortCut)));
  if (images && def.ImageIndex >= 0) action->setIcon(images->Icon(def.ImageIndex));
  // Icons belong on tool buttons; the menus stay text only, as the window was designed.
  action->setIconVisibleInMenu(false);
  action->setCheckable(def.Rule == TEnableRule::Check);
  action->setEnabled(!def.StartsDisabled);
  actions_.push_back(action);
  rules_.push_back(def.Rule);
  return action;
}

QAction* TActionList::Find(const QString& name) const {
  for (QAction* a : actions_)
    if (a->objectName() == name) return a;
  return nullptr;
}

QString TActionList::Category(const QAction* action) {
  return action->property("Category").toString();
}

QString TActionList::Hint(const QAction* action) {
  return action->property("Hint").toString();
}

int TActionList::ImageIndex(const QAction* action) {
  return action->property("ImageIndex").toInt();
}

int TActionList::Tag(const QAction* action) {
  return action->property("Tag").toInt();
}
