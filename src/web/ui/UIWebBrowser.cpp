#include "UIWebBrowser.h"

#include <QMenu>
#include <QVBoxLayout>

TUIWebBrowser::TUIWebBrowser(QWidget* parent) : QFrame(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  view_ = CreateWebView(TWebViewKind::Browser, this);
  layout->addWidget(view_->Widget());
  setFocusProxy(view_->Widget());
  view_->OnContextMenu = [this](QPoint pos) { return ShowContextMenu(pos); };
  Apply();
}

// The view goes before the frame that holds its widget.
TUIWebBrowser::~TUIWebBrowser() {
  view_.reset();
}

void TUIWebBrowser::SetDownLoadControl(web::TDownloadOptions options) {
  settings_.DownLoadControl = options;
  Apply();
}

void TUIWebBrowser::Set(bool& field, bool on) {
  field = on;
  Apply();
}

void TUIWebBrowser::Apply() {
  web::TEngineOptions options = web::EngineOptions(settings_);
  setFrameStyle(options.Border ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
  view_->ApplyOptions(options);
}

bool TUIWebBrowser::ShowContextMenu(QPoint pos) {
  if (OnUIShowContextMenu) OnUIShowContextMenu(*this, pos);
  if (!settings_.IeNoContext) return false;
  if (PopupMenu && AutoPopup) PopupMenu->popup(pos);
  return true;
}
