// The settings a browser view's host gives it, kept as the view component publishes them, and
// what they mean for the engine that shows the page.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace web {

// Download options, in their published order.
enum class TDownloadOption {
  CS_Images,
  CS_Videos,
  CS_BGSounds,
  CS_NoScripts,
  CS_NoJava,
  CS_NoActiveXRun,
  cs_NoActiveXDownLoad,
  CS_DownLoadOnly,
  CS_ReSynchronize,
  CS_NoCash,
  CS_NoFrame,
  CS_ForceOffLine,
  CS_NoClientPull,
  CS_Silent,
  CS_OffLine,
};

class TDownloadOptions {
 public:
  TDownloadOptions() = default;
  TDownloadOptions(std::initializer_list<TDownloadOption> options) {
    for (TDownloadOption o : options) Include(o);
  }
  bool Has(TDownloadOption o) const { return bits_ & Bit(o); }
  void Include(TDownloadOption o) { bits_ |= Bit(o); }
  void Exclude(TDownloadOption o) { bits_ &= ~Bit(o); }
  bool operator==(const TDownloadOptions&) const = default;

 private:
  static uint32_t Bit(TDownloadOption o) { return 1u << static_cast<int>(o); }
  uint32_t bits_ = 0;
};

// The host's view of its page, with the values every new view gets.
struct THostSettings {
  bool IeNoContext = false;
  bool IeNO3DBORDER = false;
  bool IeSCROLL_hidden = false;
  bool IeDontSCRIPT = false;
  bool IeEnableAccelerator = true;
  bool IeNoBehavior = false;
  bool IeAutoComplete = true;
  TDownloadOptions DownLoadControl{TDownloadOption::CS_Images, TDownloadOption::CS_Videos,
                                   TDownloadOption::CS_BGSounds};
};

// The standard host-information flags these settings ask for (DOCHOSTUIFLAG_*).
uint32_t HostInfoFlags(const THostSettings& settings);
// The standard download-control answer (DLCTL_*): the flags of the options held.
uint32_t DownloadControlFlags(TDownloadOptions options);

// What an engine without the original host interfaces can honour of them.
struct TEngineOptions {
  bool OwnContextMenu = true;  // false: the host's pop-up menu, if any, instead
  bool Border = true;          // the sunken 3-D frame
  bool ScrollBars = true;
  bool Scripts = true;
  bool Images = true;
  bool operator==(const TEngineOptions&) const = default;
};
TEngineOptions EngineOptions(const THostSettings& settings);

}  // namespace web
