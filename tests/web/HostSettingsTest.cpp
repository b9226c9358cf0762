// The host settings of a browser view: their defaults, the standard answers they give, and
// what the engine is told.
#include <gtest/gtest.h>

#include "web/HostSettings.h"

using web::TDownloadOption;

TEST(HostSettingsTest, DefaultsAnswerAutoCompleteAndImagesVideosSounds) {
  web::THostSettings s;
  EXPECT_EQ(web::HostInfoFlags(s), 0x4000u);
  EXPECT_EQ(web::DownloadControlFlags(s.DownLoadControl), 0x70u);
  EXPECT_EQ(web::EngineOptions(s), web::TEngineOptions{});
}

TEST(HostSettingsTest, EachBooleanAddsItsOwnHostFlag) {
  web::THostSettings s;
  s.IeAutoComplete = false;
  EXPECT_EQ(web::HostInfoFlags(s), 0u);
  s.IeNO3DBORDER = true;
  s.IeSCROLL_hidden = true;
  s.IeDontSCRIPT = true;
  s.IeNoBehavior = true;
  EXPECT_EQ(web::HostInfoFlags(s), 0x4u | 0x8u | 0x10u | 0x400u);
  // Context menu and accelerators are answered by their hooks, not by flags.
  s.IeNoContext = true;
  s.IeEnableAccelerator = false;
  EXPECT_EQ(web::HostInfoFlags(s), 0x4u | 0x8u | 0x10u | 0x400u);
}

TEST(HostSettingsTest, DownloadAnswerIsTheOrOfTheOptionsHeld) {
  EXPECT_EQ(web::DownloadControlFlags({}), 0u);
  EXPECT_EQ(web::DownloadControlFlags({TDownloadOption::CS_ReSynchronize}), 0x2000u);
  EXPECT_EQ(web::DownloadControlFlags({TDownloadOption::CS_NoCash}), 0x4000u);
  EXPECT_EQ(web::DownloadControlFlags({TDownloadOption::CS_NoFrame}), 0x1000u);
  EXPECT_EQ(web::DownloadControlFlags({TDownloadOption::CS_OffLine}), 0x80000000u);
  web::TDownloadOptions all;
  for (int i = 0; i <= static_cast<int>(TDownloadOption::CS_OffLine); ++i)
    all.Include(static_cast<TDownloadOption>(i));
  EXPECT_EQ(web::DownloadControlFlags(all), 0xF0007FF0u);
  all.Exclude(TDownloadOption::CS_Silent);
  EXPECT_FALSE(all.Has(TDownloadOption::CS_Silent));
  EXPECT_EQ(web::DownloadControlFlags(all), 0xB0007FF0u);
}

TEST(HostSettingsTest, EngineHonoursWhatItCan) {
  web::THostSettings s;
  s.IeNoContext = true;
  s.IeNO3DBORDER = true;
  s.IeSCROLL_hidden = true;
  web::TEngineOptions o = web::EngineOptions(s);
  EXPECT_FALSE(o.OwnContextMenu);
  EXPECT_FALSE(o.Border);
  EXPECT_FALSE(o.ScrollBars);
  EXPECT_TRUE(o.Scripts);
  EXPECT_TRUE(o.Images);

  web::THostSettings scripts;
  scripts.IeDontSCRIPT = true;
  EXPECT_FALSE(web::EngineOptions(scripts).Scripts);
  scripts = {};
  scripts.DownLoadControl.Include(TDownloadOption::CS_NoScripts);
  EXPECT_FALSE(web::EngineOptions(scripts).Scripts);

  web::THostSettings images;
  images.DownLoadControl.Exclude(TDownloadOption::CS_Images);
  EXPECT_FALSE(web::EngineOptions(images).Images);
}
