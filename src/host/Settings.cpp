#include "host/Settings.h"
#include "host/ErrorText.h"

#include <exception>
#include <functional>
#include <vector>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/DataHelpers.h"
#include "host/GetSqlValue.h"
#include "host/UserInterface.h"

namespace storeadjust {

namespace {

const char* const kSysVarQuery =
    "Select slws,pfjws,lsjws,sjws,hsjws,wsjws,cbjws,jjbl,ztdh,bz1,bz2,bz3,bz4,bz5,bz6,bz7,bz8,bz9,xz1,xz2,xz3,xz4,xz5,"
    "xz6,xz7"
    ",xz8,xz9,rkdsh,xhdsh,dcdsh,ykdsh,lsjz,ykfs,glph,phzx,sf_tag,zdxjbl,ywjz,jzyf,ckperiod,qyzt from sys_var";

// The ERP pads profile values with blanks only.
std::string Trimmed(const std::string& text) { return std::string(adodb::Trimmed(text, " ")); }

// Empty text gives 0; anything else must be a number (a word throws a type mismatch).
std::int32_t NumberOrZero(const std::string& text) {
  return text.empty() ? 0 : adodb::Variant(text).AsInt32();
}

std::int16_t SmallNumberOrZero(const std::string& text) {
  return text.empty() ? 0 : adodb::Variant(text).AsInt16();
}

// The number length rule: blank or non-numeric text takes the key's default.
std::int32_t LengthOrDefault(const std::string& value, std::int32_t fallback) {
  adodb::Variant upper(adodb::UpperName(value));
  if (Trimmed(upper.RawText()).empty() || !upper.IsNumeric()) return fallback;
  return upper.AsInt32();
}

void LoadSysVar(Session& session) {
  GetSqlValue reader(session);
  reader.SetKDSql(kSysVarQuery);
  reader.GetArrayValue();
  const std::vector<adodb::Variant> v = reader.ArrayValue();
  if (v.size() < 42) throw adodb::Error::SubscriptOutOfRange();
  SessionSettings& s = session.Settings;
  std::int16_t* const integers1[] = {&s.slws, &s.pfjws, &s.lsjws, &s.sjws, &s.hsjws, &s.wsjws, &s.cbjws, &s.jjbl, &s.ztdh};
  bool* const flags1[] = {&s.bz1, &s.bz2, &s.bz3, &s.bz4, &s.bz5, &s.bz6, &s.bz7, &s.bz8, &s.bz9};
  std::int16_t* const integers2[] = {&s.xz3, &s.xz4, &s.xz5, &s.xz6, &s.xz7, &s.xz8, &s.xz9};
  bool* const flags2[] = {&s.rkdsh, &s.xhdsh, &s.dcdsh, &s.ykdsh, &s.lsjz};
  std::int16_t* const integers3[] = {&s.zdxjbl, &s.ywjz, &s.jzyf, &s.ckperiod};
  std::size_t pos = 1;
  for (auto* field : integers1) *field = v[pos++].AsInt16();
  for (auto* field : flags1) *field = v[pos++].AsBool();
  s.xz1 = v[pos++].AsInt16();
  s.xz2 = MapXz2(v[pos++].AsInt16());
  for (auto* field : integers2) *field = v[pos++].AsInt16();
  for (auto* field : flags2) *field = v[pos++].AsBool();
  s.ykfs = v[pos++].AsInt16();
  s.glph = v[pos++].AsBool();
  s.phzx = v[pos++].AsBool();
  s.sf_tag = v[pos++].TextOrEmpty();
  for (auto* field : integers3) *field = v[pos++].AsInt16();
  s.qyzt = v[pos++].AsBool();
}

void LoadProfile(Session& session) {
  SessionSettings& s = session.Settings;
  auto gl = [&session](const char* key) { return GetProfileValue(session, "GL", key); };
  s.ZJMStruct = NumberOrZero(Trimmed(gl("ZJMStruct")));
  s.ZJMSpliteChar = Trimmed(gl("ZJMSpliteChar"));
  s.SpliteOfMakeHH = Trimmed(gl("SpliteOfMakeHH"));
  s.LengthOfMakeHH = LengthOrDefault(gl("LengthOfMakeHH"), 4);
  s.AutoMakeHH = IsProfileFlagOn(gl("AutoMakeHH")) ? 1 : 0;
  s.AutoMakeSuperID = IsProfileFlagOn(gl("AutoMakeSuperID")) ? 1 : 0;
  s.LengthOfForeSuperID = LengthOrDefault(gl("LengthOfForeSuperID"), 1);
  s.LengthOfMakeSuperID = LengthOrDefault(gl("LengthOfMakeSuperID"), 4);
  s.SpliteOfMakeSuperID = Trimmed(gl("SpliteOfMakeSuperID"));
  s.AutoMakeCustomID = IsProfileFlagOn(gl("AutoMakeCustomID")) ? 1 : 0;
  s.LengthOfForeCustomID = LengthOrDefault(gl("LengthOfForeCustomID"), 1);
  s.LengthOfMakeCustomID = LengthOrDefault(gl("LengthOfMakeCustomID"), 4);
  s.SpliteOfMakeCustomID = Trimmed(gl("SpliteOfMakeCustomID"));
  const std::pair<const char*, bool*> checks[] = {
      {"CHKMaker", &s.CHKMaker}, {"CHKSuper", &s.CHKSuper}, {"CHKPFJ", &s.CHKPFJ},   {"CHKLSJ", &s.CHKLSJ},
      {"CHKSJ", &s.CHKSJ},       {"CHKSCDW", &s.CHKSCDW},   {"CHKMJL", &s.CHKMJL},   {"CHKZBZ", &s.CHKZBZ},
      {"CHKYSBZ", &s.CHKYSBZ},   {"CHKZCSB", &s.CHKZCSB},   {"CHKPZWH", &s.CHKPZWH}, {"CHKZHJJ", &s.CHKZHJJ}};
  for (const auto& [key, field] : checks) *field = IsProfileFlagOn(gl(key));
  s.FCurrYear = SmallNumberOrZero(gl("FCurrYear"));
  s.FCurrPeriod = SmallNumberOrZero(gl("FCurrPeriod"));
  s.FinanceCloseInit = IsProfileFlagOn(gl("FinanceCloseInit"));
}

}  // namespace

std::string GetProfileValue(Session& session, const std::string& category, const std::string& key) {
  return GetFieldValue(session, "Select FValue From t_SystemProfile Where FCategory=? And FKey=?", "FValue",
                       {adodb::BoundText(category), adodb::BoundText(key)})
      .TextOrEmpty();
}

bool IsProfileFlagOn(const std::string& value) {
  const std::string upper = adodb::UpperName(value);
  return upper == "TRUE" || upper == "1";
}

std::int16_t MapXz2(std::int16_t stored) {
  switch (stored) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 6;
    case 3: return 5;
    case 4: return 3;
    case 5: return 4;
    default: return 1;
  }
}

void LoadSystemSettings(Session& session) {
  try {
    LoadSysVar(session);
    LoadProfile(session);
  } catch (const std::exception& e) {
    if (session.Ui) session.Ui->MsgBox(ErrorText(e), mb::kInformation, "系统提示");
  }
}

}  // namespace storeadjust
