// The host settings of a browser view: the standard answers they give, and what the engine
// is told.
#include <gtest/gtest.h>

#include "web/HostSettings.h"

using web::TDownloadOption;

TEST(HostSettingsTest, AnswersFollowTheSettingsHeld) {
  web::THostSettings s;
  EXPECT_EQ(web::HostInfoFlags(s), 0x4000u);  // autocomplete only
  EXPECT_EQ(web::DownloadControlFlags(s.DownLoadControl), 0x70u);
  s.IeAutoComplete = false;
  s.IeNO3DBORDER = s.IeSCROLL_hidden = s.IeDontSCRIPT = s.IeNoBehavior = true;
  // Context menu and accelerators are answered by their hooks, not by flags.
  s.IeNoContext = true;
  s.IeEnableAccelerator = false;
  EXPECT_EQ(web::HostInfoFlags(s), 0x41Cu);

  // The options' order is not the flags' order.
  EXPECT_EQ(web::DownloadControlFlags({TDownloadOption::CS_ReSynchronize,
                                       TDownloadOption::CS_NoCash, TDownloadOption::CS_NoFrame}),
            0x7000u);
  web::TDownloadOptions all;
  for (int i = 0; i <= static_cast<int>(TDownloadOption::CS_OffLine); ++i)
    all.Include(static_cast<TDownloadOption>(i));
  all.Exclude(TDownloadOption::CS_Silent);
  EXPECT_EQ(web::DownloadControlFlags(all), 0xB0007FF0u);
}

TEST(HostSettingsTest, EngineHonoursWhatItCan) {
  EXPECT_EQ(web::EngineOptions({}), web::TEngineOptions{});
  web::THostSettings s;
  s.IeNoContext = s.IeNO3DBORDER = s.IeSCROLL_hidden = true;
  s.DownLoadControl.Exclude(TDownloadOption::CS_Images);
  web::TEngineOptions o = web::EngineOptions(s);
  EXPECT_FALSE(o.OwnContextMenu || o.Border || o.ScrollBars || o.Images);
  EXPECT_TRUE(o.Scripts);

  web::THostSettings scripts;
  scripts.IeDontSCRIPT = true;
  EXPECT_FALSE(web::EngineOptions(scripts).Scripts);
  scripts = {};
  scripts.DownLoadControl.Include(TDownloadOption::CS_NoScripts);
  EXPECT_FALSE(web::EngineOptions(scripts).Scripts);
}
