#pragma once
// The system settings record that Execute loads once per session (LoadSystemSettings).
// Fields are named after their columns and profile keys.
#include <cstdint>
#include <string>

namespace storeadjust {

struct SessionSettings {
  // Filled by LoadSystemSettings; see host/Settings.h.
  std::int16_t slws = 0, pfjws = 0, lsjws = 0, sjws = 0, hsjws = 0, wsjws = 0, cbjws = 0, jjbl = 0, ztdh = 0;
  bool bz1 = false, bz2 = false, bz3 = false, bz4 = false, bz5 = false, bz6 = false, bz7 = false, bz8 = false,
       bz9 = false;
  std::int16_t xz1 = 0, xz2 = 0, xz3 = 0, xz4 = 0, xz5 = 0, xz6 = 0, xz7 = 0, xz8 = 0, xz9 = 0;
  bool rkdsh = false, xhdsh = false, dcdsh = false, ykdsh = false, lsjz = false;
  std::int16_t ykfs = 0;
  bool glph = false, phzx = false;
  std::string sf_tag;
  std::int16_t zdxjbl = 0, ywjz = 0, jzyf = 0, ckperiod = 0;
  bool qyzt = false;

  std::int32_t ZJMStruct = 0;
  std::string ZJMSpliteChar, SpliteOfMakeHH;
  std::int32_t LengthOfMakeHH = 0, AutoMakeHH = 0, AutoMakeSuperID = 0, LengthOfForeSuperID = 0,
               LengthOfMakeSuperID = 0;
  std::string SpliteOfMakeSuperID;
  std::int32_t AutoMakeCustomID = 0, LengthOfForeCustomID = 0, LengthOfMakeCustomID = 0;
  std::string SpliteOfMakeCustomID;
  bool CHKMaker = false, CHKSuper = false, CHKPFJ = false, CHKLSJ = false, CHKSJ = false, CHKSCDW = false,
       CHKMJL = false, CHKZBZ = false, CHKYSBZ = false, CHKZCSB = false, CHKPZWH = false, CHKZHJJ = false;
  std::int16_t FCurrYear = 0, FCurrPeriod = 0;
  bool FinanceCloseInit = false;
};

}  // namespace storeadjust
