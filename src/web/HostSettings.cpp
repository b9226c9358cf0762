#include "HostSettings.h"

namespace web {

namespace {

// DOCHOSTUIFLAG_* values.
constexpr uint32_t kNo3DBorder = 0x0004;
constexpr uint32_t kScrollNo = 0x0008;
constexpr uint32_t kDisableScriptInactive = 0x0010;
constexpr uint32_t kOverrideBehaviorFactory = 0x0400;
constexpr uint32_t kEnableFormsAutoComplete = 0x4000;

// DLCTL_* values, one per option in the options' order.
constexpr uint32_t kDownloadFlags[] = {
    0x00000010,  // DLCTL_DLIMAGES
    0x00000020,  // DLCTL_VIDEOS
    0x00000040,  // DLCTL_BGSOUNDS
    0x00000080,  // DLCTL_NO_SCRIPTS
    0x00000100,  // DLCTL_NO_JAVA
    0x00000200,  // DLCTL_NO_RUNACTIVEXCTLS
    0x00000400,  // DLCTL_NO_DLACTIVEXCTLS
    0x00000800,  // DLCTL_DOWNLOADONLY
    0x00002000,  // DLCTL_RESYNCHRONIZE
    0x00004000,  // DLCTL_PRAGMA_NO_CACHE
    0x00001000,  // DLCTL_NO_FRAMEDOWNLOAD
    0x10000000,  // DLCTL_FORCEOFFLINE
    0x20000000,  // DLCTL_NO_CLIENTPULL
    0x40000000,  // DLCTL_SILENT
    0x80000000,  // DLCTL_OFFLINEIFNOTCONNECTED
};
constexpr uint32_t kDlImages = kDownloadFlags[0];
constexpr uint32_t kDlNoScripts = kDownloadFlags[3];

}  // namespace

uint32_t HostInfoFlags(const THostSettings& s) {
  uint32_t flags = 0;
  if (s.IeNO3DBORDER) flags |= kNo3DBorder;
  if (s.IeSCROLL_hidden) flags |= kScrollNo;
  if (s.IeDontSCRIPT) flags |= kDisableScriptInactive;
  if (s.IeNoBehavior) flags |= kOverrideBehaviorFactory;
  if (s.IeAutoComplete) flags |= kEnableFormsAutoComplete;
  return flags;
}

uint32_t DownloadControlFlags(TDownloadOptions options) {
  uint32_t flags = 0;
  for (int i = 0; i <= static_cast<int>(TDownloadOption::CS_OffLine); ++i)
    if (options.Has(static_cast<TDownloadOption>(i))) flags |= kDownloadFlags[i];
  return flags;
}

TEngineOptions EngineOptions(const THostSettings& s) {
  uint32_t host = HostInfoFlags(s);
  uint32_t download = DownloadControlFlags(s.DownLoadControl);
  TEngineOptions o;
  o.OwnContextMenu = !s.IeNoContext;
  o.Border = !(host & kNo3DBorder);
  o.ScrollBars = !(host & kScrollNo);
  o.Scripts = !(host & kDisableScriptInactive) && !(download & kDlNoScripts);
  o.Images = (download & kDlImages) != 0;
  return o;
}

}  // namespace web
