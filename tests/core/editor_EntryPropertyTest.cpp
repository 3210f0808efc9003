// Random sequences of what a clerk does in the editor's entry row, on copies of the demo database:
// goods typed with or without Enter or taken from the list, units chosen, prices, quantities and
// amounts typed with or without Enter, Up and Down between the fields, F3 on a line, lines
// deleted, the in-warehouse changed, Esc wherever the clerk is (and on with the row when he keeps
// it), and saves. Questions, lists and the goods-place dialog are answered at random; while the
// dialog is open another clerk may remove a goods place, and between any two steps another clerk
// may rename and price goods anew in the goods master or take from a batch of the out-warehouse;
// then, and while the dialog is open, another clerk may also change a unit's coefficient, rename
// a unit (the base unit's row too), delete one or add one, and the administrator may switch goods
// to or from being kept by amount only or set their cost price anew.
// After every save the line stored must be the line the screen showed: the goods' own facts (the
// name and retail price of the goods master as the row took them, or as the amended line holds them), the
// shown unit (by the name the row took it under) with the coefficient its list gives now, or
// the line's own kept coefficient for a line taken with F3, sl = txtXs x TxtSl (at its column's 4 places), the quantity,
// price and amounts exactly as shown, however many places were typed, a batch the
// out-warehouse holds, goods-place rows as the dialog confirmed them on places still listed, and a
// grid row that lists it in the base unit at the price per base unit. At the end the bill is
// audited: the stock then moved exactly by its lines, or, when the audit did not commit, not at all.
// Each seed also shapes the site: goods with units of awkward coefficients, the first offered not
// the base unit, the quantity and price places at their extremes, and lines another program
// stored (a price of 6 places, an amount that is not quantity x price, tax figures of its own).
// Such a line, or any other, taken with F3 and saved with nothing changed, or with Enter through
// every field, stays as stored (without its batch once its goods are kept by amount only), also
// when the administrator counted its unit anew after F3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

#include "adodb/BoundValues.h"
#include "adodb/Variant.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/EmbeddedProcedures.h"
#include "host/KeyCodes.h"
#include "host/NumberHelpers.h"
#include "support/ModuleSession.h"
#include "support/PropertyRuns.h"
#include "support/SanitizedRuns.h"
#include "support/StockTables.h"
#include "support/SqlLiterals.h"

namespace storeadjust {
namespace {

using testsupport::TempDatabase;
using Row = std::vector<std::string>;
using testsupport::Table;

double Number(const std::string& text) {
  double value = 0;
  return adodb::ParseNumber(text, value) ? value : 0;
}
// In cents, half a cent up, as the decimal figure rounds: a product of figures of 4 places has 8 at
// most, and is taken there first, where the double only comes near it (16.5 x 33.33 is 549.945,
// which the double holds as 549.94499...).
double Cents(double value) { return std::round(std::round(value * 1e8) / 1e6) / 100; }
// What a decimal(18,4) or money column holds of the value.
double FourPlaces(double value) { return adodb::RoundedToScale(value, 4); }
bool Near(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a)); }

// A clerk who answers every question, list and goods-place dialog at random, and remembers them.
class RandomClerk : public ScriptedUserInterface {
 public:
  explicit RandomClerk(testsupport::RandomDraws& draws, std::string& log) : draws_(draws), log_(log) {}
  bool alwaysYes = false;
  bool keepsHeld = false;  // takes the row a list holds (the only row of a single-row list)
  std::optional<std::vector<std::string>> placesAnswered;  // the last allocation confirmed
  std::function<void(const std::string&)> removePlace;     // another clerk, while the dialog is open
  std::function<void()> changeAUnit;                       // another clerk, while the dialog is open
  std::function<void()> changeGoods;                       // the goods master, while the dialog is open

  int MsgBox(const std::string& text, int buttons, const std::string& title) override {
    const bool question = (buttons & 7) == mb::kYesNo;
    const int answer = !question ? mb::kOk : (alwaysYes || draws_.Chance(0.8)) ? mb::kYes : mb::kNo;
    log_ += "      box " + title + " " + text + (question ? answer == mb::kYes ? " -> Yes" : " -> No" : "") + "\n";
    return answer;
  }
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override {
    const long count = rows.RecordCount();
    const long held = request.heldRowPosition > 0 ? request.heldRowPosition : count == 1 ? 1 : 0;
    const long row = keepsHeld ? held : count < 1 || draws_.Chance(0.08) ? 0 : 1 + static_cast<long>(draws_.Index(count));
    log_ += "      list of " + std::to_string(count) + " -> " + std::to_string(row) + "\n";
    return row;
  }
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override {
    if (request.viewOnly || draws_.Chance(0.05)) return {};
    const double quantity = Number(request.quantity);
    const std::string w = request.warehouseId;
    const std::string first = "P" + w + (w == "05" ? "Y01" : w == "04" ? "A01" : "B01");
    const std::string second = "P" + w + (w == "05" ? "Y02" : w == "04" ? "A02" : "B02");
    // A third at 2 places, or split past the 4 places a place's row keeps: 1.66665 and 3.33335.
    const double third = draws_.Chance(0.5) ? Cents(quantity / 3) : std::floor(quantity / 3 * 1e4) / 1e4 + 0.00005;
    const double part = draws_.Chance(0.5) ? quantity : third;
    GoodsPlaceAnswer answer{true, {first + ",x," + first.substr(3) + "," + adodb::FormatNumber(part)}};
    if (part != quantity) {
      answer.items.push_back(second + ",x," + second.substr(3) + "," +
                             adodb::FormatNumber(RoundTo(quantity - part, 6)));
    }
    log_ += "      places for " + request.quantity + " in " + w + "\n";
    placesAnswered = answer.items;
    if (removePlace && draws_.Chance(0.1)) removePlace(answer.items.back().substr(0, answer.items.back().find(',')));
    if (changeAUnit && draws_.Chance(0.1)) changeAUnit();
    if (changeGoods && draws_.Chance(0.1)) changeGoods();
    return answer;
  }

 private:
  testsupport::RandomDraws& draws_;
  std::string& log_;
};

// What the entry row and header showed when 保 存 was clicked.
struct Shown {
  std::string lsh, hh, unitName, out, in;
  double coefficient = 1, quantity = 0, price = 0, amount = 0, retailTotal = 0;
  bool retailFollowsQuantity = true;
  bool amended = false;  // the line was stored before and taken with F3
};

class EntrySequence : testsupport::RandomDraws, testsupport::StepRecord {
 public:
  explicit EntrySequence(unsigned seed) : RandomDraws(seed), clerk_(*this, log_) {
    std::filesystem::copy_file(testsupport::PristineDemo(), db_.Path(), std::filesystem::copy_options::overwrite_existing);
    check_ = db_.Open();
    ShapeTheSite();
    KeepGoodsVersions();
    session_ = testsupport::OpenEditorSession(db_, clerk_);
    clerk_.removePlace = [this](const std::string& guid) {
      Log("another clerk removes goods place " + guid);
      const Table place = Rows("select GoodsPlaceNo, WarehouseGuid, Name from GoodsPlace where GoodsPlaceGuid=" + SqlText(guid));
      if (place.empty()) return;
      check_->Execute("delete from GoodsPlace where GoodsPlaceGuid=" + SqlText(guid));
      removedPlaces_.push_back("insert into GoodsPlace values (" + SqlText(guid) + "," + SqlText(place[0][0]) + "," +
                               SqlText(place[0][1]) + "," + SqlText(place[0][2]) + ")");
    };
    clerk_.changeAUnit = [this] { AnotherClerkChangesAUnit(); };
    clerk_.changeGoods = [this] { AnotherClerkChangesTheGoodsMaster(); };
    for (const Row& unit : Rows("select hh, FName, FMeasureUnitID from t_MeasureUnit")) unitCodes_.try_emplace(unit[0] + "|" + unit[1], unit[2]);
    RegisterEmbeddedProcedures();
  }

  std::string Run(int steps) {
    try {
      Open(true, "");
      for (int step = 0; step < steps && failure_.empty(); ++step) Act();
      if (failure_.empty()) AuditTheBill();
    } catch (const std::exception& error) {
      Fail(std::string("unexpected exception: ") + error.what());
    }
    return Report("what the clerk did");
  }

 private:
  Table Rows(const std::string& sql) { return testsupport::TableOf(*check_, sql); }

  // 0006 and the amount-only 0040 get units of awkward coefficients, one of them offered first;
  // the quantity and price fields get places from none to more than their columns keep.
  void ShapeTheSite() {
    const std::vector<double> coefficients{3, 7, 12, 0.5, 1000, 0.001};
    for (const std::string hh : {"0006", "0040"}) {
      const std::size_t first = 1 + Index(3);
      for (std::size_t unit = 0; unit < 4; ++unit) {
        const double coefficient = unit == 0 ? 1 : Pick(coefficients);
        check_->Execute("insert into t_MeasureUnit(hh,FMeasureUnitID,FName,FCoefficient,FDefault,FDeleted) values (" +
                        SqlText(hh) + ",'0" + std::to_string(unit + 1) + "','单位" + std::to_string(unit + 1) + "'," +
                        SqlNumber(coefficient) + "," + (unit == first ? "1" : "0") + ",0)");
      }
    }
    const std::vector<int> places{0, 2, 4, 6};
    check_->Execute("update sys_var set slws=" + std::to_string(Pick(places)) + ", wsjws=" + std::to_string(Pick(places)));
  }
  std::string Text(const std::string& control) { return form_->Text(control); }
  void Enter(const std::string& control, const std::string& text, bool pressEnter) {
    Log("type " + control + " " + text + (pressEnter ? " + Enter" : ""));
    form_->SetFocus(control);
    form_->Type(control, text);
    if (pressEnter) form_->KeyDown(control, key::kReturn);
  }

  // The editor as the browser opens it: a new bill, or the stored serial.
  void Open(bool newBill, const std::string& lsh) {
    if (form_ && form_->IsOpen()) form_->Close();
    form_.reset();
    form_ = std::make_unique<FrmStoreAdjuctBill>(
        session_, newBill ? EditorRequest{} : EditorRequest{EditorRequest::Mode::Amend, lsh});
    form_->Load();
    form_->FireTimers();
    if (newBill) {
      Enter("TxtBcCkID", "01", true);
      Enter("txtBrCKid", Pick(std::vector<std::string>{"02", "03", "09", "05"}), true);
    }
  }

  void Act() {
    for (const std::string& insert : std::exchange(removedPlaces_, {})) check_->Execute(insert);  // added again
    using Texts = std::vector<std::string>;
    const Texts inWarehouses{"02", "03", "09", "05"};
    const double pick = Uniform(0, 1);
    if (pick < 0.03) {
      AnotherProgramStoresALine();
    } else if (pick < 0.045) {
      AnotherClerkChangesTheGoodsMaster();
    } else if (pick < 0.055) {
      AnotherClerkTakesFromABatch();
    } else if (pick < 0.07) {
      AnotherClerkChangesAUnit();
    } else if (pick < 0.11) {
      SaveALineUnchanged(Chance(0.6));
    } else if (pick < 0.12) {
      Log("F7 in 货号 over " + Text("TxtHH"));  // the goods list, perhaps closed without a choice
      form_->SetFocus("TxtHH");
      form_->KeyDown("TxtHH", key::kF1 + 6);
    } else if (pick < 0.18) {
      Enter("TxtHH", Pick(Texts{"0001", "0003", "0004", "0012", "0013", "0014", "0021", "0040", "0006", "0010"}), Chance(0.75));
    } else if (pick < 0.24) {
      Enter("txtJl", Text("txtJl"), true);
    } else if (pick < 0.32) {
      Enter("TxtDj", Pick(Texts{"7.8", "3.3333333", "12.5", "10", "0.7", "1.234567", "0"}), Chance(0.5));
    } else if (pick < 0.52) {
      // Goods kept by amount only lock the quantity.
      if (!form_->Control("TxtSl").locked)
        Enter("TxtSl", Pick(Texts{"1", "2", "3", "5", "12", "0.5", "9", "-1", "0.12345", "2.00005", "7", "0", "0.3333"}), Chance(0.85));
    } else if (pick < 0.59) {
      Enter("TxtJe", Pick(Texts{"70", "10.005", "33.33", "12", "-5", "0"}), Chance(0.5));
    } else if (pick < 0.61) {
      // Only goods kept by amount only let the clerk type a retail total.
      if (!form_->Control("TxtLsze").locked) Enter("TxtLsze", Pick(Texts{"117", "20", "45.555", "-3"}), Chance(0.5));
    } else if (pick < 0.78) {
      Save();
    } else if (pick < 0.86) {
      OnALine("F3", key::kF1 + 2);
    } else if (pick < 0.91) {
      OnALine("Delete", key::kDelete);
    } else if (pick < 0.95) {
      Enter("txtBrCKid", Pick(inWarehouses), true);
    } else if (pick < 0.975) {
      // Up or Down: the clerk moves between the row's fields without Enter.
      const std::string field = form_->Focus();
      if (field.empty() || !form_->HasControl(field)) return;
      const bool up = Chance(0.5);
      Log(std::string(up ? "Up" : "Down") + " in " + field);
      form_->KeyDown(field, up ? key::kUp : key::kDown);
    } else {
      // Esc in the field he is in: over a row typed and not saved the editor asks first, and on No
      // the clerk goes on with the row as it stands.
      const std::string lsh = Text("TxtLSH");
      const std::string field = form_->Focus().empty() ? std::string("TxtHH") : form_->Focus();
      Log("Esc in " + field);
      form_->KeyDown(field, key::kEscape);
      if (form_->IsOpen()) return CheckNoOrphanPlaces();
      const bool stored = !Rows("select lsh from ckdbdzkmx where lsh=" + SqlText(lsh)).empty();
      Log("open " + (stored ? lsh : std::string("a new bill")));
      Open(!stored, stored ? lsh : "");
    }
    CheckNoOrphanPlaces();
  }

  void OnALine(const std::string& name, int keyCode) {
    GridModel* grid = form_->Grid("VfgContent");
    if (grid->Rows() < 2) return;
    const long row = 1 + static_cast<long>(Index(grid->Rows() - 1));
    Log(name + " on line " + grid->TextMatrix(row, 1));
    form_->SelectRow("VfgContent", row);
    form_->SetFocus("VfgContent");
    form_->KeyDown("VfgContent", keyCode);
    if (keyCode == key::kF1 + 2) KeepOwnCoefficient(grid->TextMatrix(row, 1));
  }

  // A line taken with F3 that was stored with another coefficient than its unit's now (or in a
  // unit no longer listed) keeps its own: the row shows it, and the save may store it.
  void KeepOwnCoefficient(const std::string& dh) {
    ownCoefficient_.reset();
    if (dh.empty()) return;
    const std::optional<double> listed = ListedCoefficient(Text("TxtHH"), Text("txtDw"));
    const double shown = Number(Text("txtXs"));
    if (!listed || !Near(*listed, shown)) ownCoefficient_ = OwnCoefficient{Text("TxtLSH"), dh, Text("TxtHH"), Text("txtDw"), shown};
  }

  // The coefficient the goods' unit of that name (as the row took it: a unit renamed since goes by
  // its old name) has now, counted as the list counts it; none for a unit deleted or never there.
  std::optional<double> ListedCoefficient(const std::string& hh, const std::string& name) {
    if (name.empty()) return 1.0;
    const auto code = unitCodes_.find(hh + "|" + name);
    if (code == unitCodes_.end()) return std::nullopt;
    const Table unit = Rows("select FCoefficient from t_MeasureUnit where isnull(FDeleted,0)=0 and hh=" + SqlText(hh) +
                            " and FMeasureUnitID=" + SqlText(code->second));
    if (unit.empty()) return std::nullopt;
    return Number(unit[0][0]) == 0 ? 1.0 : Number(unit[0][0]);
  }

  // Another clerk changes a unit of goods the row or a stored line may show: its coefficient, its
  // name (the base unit's row too), deletes it, or adds one.
  void AnotherClerkChangesAUnit() {
    const std::string hh = Pick(std::vector<std::string>{"0001", "0003", "0004", "0006", "0021", "0040", "0012"});
    const Table units = Rows("select FMeasureUnitID, FName, FCoefficient from t_MeasureUnit where isnull(FDeleted,0)=0 and hh=" + SqlText(hh));
    const double kind = Uniform(0, 1);
    if (units.empty() || kind < 0.15) {
      const std::string code = "9" + std::to_string(++unitChanges_);
      const std::string name = "新单位" + std::to_string(unitChanges_);
      const double coefficient = Pick(std::vector<double>{2, 6, 24, 0.25});
      Log("another clerk adds unit " + name + " (" + adodb::FormatNumber(coefficient) + ") to " + hh);
      check_->Execute("insert into t_MeasureUnit(hh,FMeasureUnitID,FName,FCoefficient,FDefault,FDeleted) values (" + SqlText(hh) +
                      "," + SqlText(code) + "," + SqlText(name) + "," + SqlNumber(coefficient) + ",0,0)");
      unitCodes_.try_emplace(hh + "|" + name, code);
      return;
    }
    const Row& unit = Pick(units);
    const std::string where = " where hh=" + SqlText(hh) + " and FMeasureUnitID=" + SqlText(unit[0]);
    if (kind < 0.65) {
      double coefficient = Pick(std::vector<double>{2, 5, 10, 12, 24, 0.5, 0.002});
      if (Near(coefficient, Number(unit[2]))) coefficient += 1;
      Log("another clerk sets " + hh + " unit " + unit[1] + " to 换算系数 " + adodb::FormatNumber(coefficient));
      check_->Execute("update t_MeasureUnit set FCoefficient=" + SqlNumber(coefficient) + where);
    } else if (kind < 0.8) {
      const std::string name = unit[1].substr(0, unit[1].find('~')) + "~" + std::to_string(++unitChanges_);
      Log("another clerk renames " + hh + " unit " + unit[1] + " to " + name);
      check_->Execute("update t_MeasureUnit set FName=" + SqlText(name) + where);
      unitCodes_.try_emplace(hh + "|" + name, unit[0]);
    } else {
      Log("another clerk deletes " + hh + " unit " + unit[1]);
      check_->Execute("update t_MeasureUnit set FDeleted=1" + where);
    }
  }

  // A line of the bill stored by another program (or an older version), then the bill opened again:
  // figures the module would not have written, in a unit of the goods.
  void AnotherProgramStoresALine() {
    const std::string lsh = Text("TxtLSH");
    const Table header = Rows("select dcstockid, drstockid, isnull(bz,'') from ckdbdzk where lsh=" + SqlText(lsh) +
                              " and isnull(shbz,0)=0 and isnull(preshbz,0)=0");
    if (header.empty() || KeepsPlaces(header[0][1])) return;
    const std::string hh = Pick(std::vector<std::string>{"0001", "0006", "0004", "0040"});
    const Table goods = Rows("select pm, lsj, isnull(fonlymoney,0) from yw_kck where hh=" + SqlText(hh));
    Table batch{{"", ""}};
    if (goods[0][2] == "0") {
      batch = Rows("select ph, dh from phk where sl>0 and hh=" + SqlText(hh) + " and stockid=" + SqlText(header[0][0]));
      if (batch.empty()) return;
    }
    Table units = Rows("select FName, FCoefficient from t_MeasureUnit where isnull(FDeleted,0)=0 and hh=" + SqlText(hh));
    units.push_back({"", "1"});
    const Row& unit = Pick(units);
    // Older versions stored no quantity as entered (0 or NULL): the price is then the base unit's.
    // Others stored srsl and sl that the unit's coefficient does not join.
    const double srsl = Pick(std::vector<double>{1, 3, 2.5, 0.1235, 12.34});
    const int kind = static_cast<int>(Index(4));  // 0 entered, 1 srsl 0, 2 srsl NULL, 3 sl of its own
    const bool entered = kind == 0 || kind == 3;
    const double sl = kind == 3 ? Pick(std::vector<double>{0.8333, 10, 1.5}) : FourPlaces(srsl * Number(unit[1]));
    const double dj = Pick(std::vector<double>{7.123456, 2.5, 0.333333, 12, 1.000001});
    const double je = FourPlaces(dj * (entered ? srsl : sl)) + Pick(std::vector<double>{0, 0.37, 0.0049, 0.1234});
    const double lsze = Cents(Number(goods[0][1]) * sl) + Pick(std::vector<double>{0, 0.0051});
    const std::string dh = adodb::FormatNumber(
        std::max(1000.0, Number(Rows("select isnull(max(cast(dh as int)),0) from ckdbdzkmx where lsh=" + SqlText(lsh))[0][0])) + 1);
    Log("another program stores line " + dh + ": " + hh + " " + (kind == 2 ? "NULL" : adodb::FormatNumber(entered ? srsl : 0)) +
        " " + unit[0] + " (sl " +
        adodb::FormatNumber(sl) + ") at " + adodb::FormatNumber(dj) + ", 金额 " + adodb::FormatNumber(je));
    check_->Execute("insert into ckdbdzkmx (lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,wslsze,cj,dw,srsl,kh,bz,dcstockid,drstockid) "
                    "values (" + SqlText(lsh) + "," + SqlText(dh) + "," + SqlText(hh) + "," + SqlText(goods[0][0]) + "," +
                    SqlText(batch[0][0]) + "," + SqlText(batch[0][1]) + "," + SqlNumber(dj) + "," + SqlNumber(sl) + "," +
                    SqlNumber(je) + "," + goods[0][1] + "," + SqlNumber(lsze) + "," + SqlNumber(FourPlaces(lsze * 0.87)) +
                    ",1.2345," + SqlText(unit[0]) + "," + (kind == 2 ? std::string("NULL") : SqlNumber(entered ? srsl : 0)) + ",''," + SqlText(header[0][2]) + "," +
                    SqlText(header[0][0]) + "," + SqlText(header[0][1]) + ")");
    Open(false, lsh);
  }

  // F3 on a line and 保 存 with nothing changed, or with Enter through every field, each list
  // closed on the row it holds: the line stays exactly as stored, every column, and no stock moves;
  // also when its unit was counted anew and its goods priced anew after F3.
  void SaveALineUnchanged(bool throughEveryField) {
    GridModel* grid = form_->Grid("VfgContent");
    if (grid->Rows() < 2) return;
    const long row = 1 + static_cast<long>(Index(grid->Rows() - 1));
    const std::string lsh = Text("TxtLSH"), dh = grid->TextMatrix(row, 1);
    // A line goes into the warehouses the header shows: after the clerk has changed them there,
    // saving it is no longer saving it unchanged.
    const Table warehouses = Rows("select dcstockid, drstockid from ckdbdzkmx where lsh=" + SqlText(lsh) +
                                  " and dh=" + SqlText(dh));
    if (!warehouses.empty() && warehouses[0] != Row{Text("TxtBcCkID"), Text("txtBrCKid")}) return;
    const std::string figures = "select *, case when srsl is null then 'NULL' else '' end from ckdbdzkmx where lsh=" +
                                SqlText(lsh) + " and dh=" + SqlText(dh);
    Table before = Rows(figures);
    const testsupport::StockFigures stock = testsupport::ReadFigures(*check_);
    Log("F3 on line " + dh + ", then " + (throughEveryField ? "Enter through every field" : "保 存") +
        " with nothing changed");
    clerk_.alwaysYes = true;  // a line typed is given up for it, an expired batch taken again
    form_->SelectRow("VfgContent", row);
    form_->SetFocus("VfgContent");
    form_->KeyDown("VfgContent", key::kF1 + 2);
    KeepOwnCoefficient(dh);
    // The unit's list passed through takes the unit as counted now: the line is then no longer as stored.
    const bool fromUnit = throughEveryField && Chance(0.3);
    if (!fromUnit && Chance(0.2)) {  // the administrator counts the row's unit anew and prices its goods anew meanwhile
      Log("the administrator doubles 换算系数 of " + Text("TxtHH") + " " + Text("txtDw") + ", raises 零售价 and 成本价");
      check_->Execute("update t_MeasureUnit set FCoefficient=2*FCoefficient where hh=" + SqlText(Text("TxtHH")) +
                      " and FName=" + SqlText(Text("txtDw")));
      check_->Execute("update yw_kck set lsj=lsj+0.37, cbj=isnull(cbj,0)+1.13 where hh=" + SqlText(Text("TxtHH")));
      KeepGoodsVersions();
    }
    if (throughEveryField) {
      clerk_.keepsHeld = true;
      if (fromUnit) form_->SetFocus("txtJl");  // from the unit on
      for (int key = 0; key < 12 && form_->Focus() != "Cmd_Save" && form_->Focus() != "VfgContent"; ++key) {
        const std::string field = form_->Focus();
        form_->KeyDown(field, key::kReturn);
      }
      clerk_.keepsHeld = false;
    }
    if (!throughEveryField || form_->Focus() == "Cmd_Save") {
      form_->SetFocus("Cmd_Save");
      form_->Click("Cmd_Save");
    }
    clerk_.alwaysYes = false;
    const Table after = Rows(figures);
    // Goods switched to amount only since the line was stored carry no batch: the row shows none.
    if (!before.empty() && !after.empty() && after[0][4].empty() && AmountOnlyNow(after[0][2])) before[0][4] = before[0][5] = "";
    const std::string moved = testsupport::FigureDifferences(stock, testsupport::ReadFigures(*check_));
    if (!moved.empty()) return Fail("line " + dh + " saved unchanged moved stock:\n" + moved);
    if (!before.empty() && !after.empty() && after != before) {
      const auto text = [](const Row& line) {
        std::string joined;
        for (const std::string& value : line) joined += value + " ";
        return joined;
      };
      Fail("line " + dh + " saved unchanged became " + text(after[0]) +
           "; it was " + text(before[0]));
    }
  }

  Table Lines(const std::string& lsh) {
    return Rows("select dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,dw,srsl,dcstockid,drstockid from ckdbdzkmx where lsh=" +
                SqlText(lsh) + " order by dh");
  }

  void Save() {
    form_->SetFocus("Cmd_Save");  // as the mouse pressed on the button takes it
    Shown shown{Text("TxtLSH"), Text("TxtHH"), Text("txtDw"), Text("TxtBcCkID"), Text("txtBrCKid"),
                Number(Text("txtXs")), Number(Text("TxtSl")), Number(Text("TxtDj")), Number(Text("TxtJe")),
                Number(Text("TxtLsze"))};
    const Table before = Lines(shown.lsh);
    Log("保 存 (" + shown.hh + " " + Text("TxtSl") + " x " + Text("txtXs") + " " + shown.unitName + " at " +
        Text("TxtDj") + ", 金额 " + Text("TxtJe") + ", 零售总额 " + Text("TxtLsze") + ")");
    clerk_.placesAnswered.reset();
    form_->Click("Cmd_Save");
    const std::string lsh = Text("TxtLSH");
    const Table after = Lines(lsh);
    const Row placesAnswered = clerk_.placesAnswered.value_or(Row{});
    std::vector<Row> written;
    for (const Row& line : after) {
      // A line saved as it was stored, but without the batch its goods kept by amount only now carry none of.
      const auto asStored = [&](Row was) {
        if (line[3].empty() && AmountOnlyNow(line[1])) was[3] = was[4] = "";
        return was == line;
      };
      if (lsh != shown.lsh || std::none_of(before.begin(), before.end(), asStored)) written.push_back(line);
    }
    if (written.size() > 1) return Fail("one save wrote " + std::to_string(written.size()) + " lines");
    if (written.size() != 1) return;
    // The retail total of goods kept by quantity is the retail price times the quantity stored,
    // unless it is an amended line's, kept as it was stored.
    const auto was = std::find_if(before.begin(), before.end(), [&](const Row& line) { return line[0] == written[0][0]; });
    shown.retailFollowsQuantity = was == before.end() || (*was)[9] != written[0][9];
    shown.amended = lsh == shown.lsh && was != before.end();
    CheckStoredAsShown(lsh, written[0], shown, placesAnswered);
  }

  void CheckStoredAsShown(const std::string& lsh, const Row& line, const Shown& shown, const Row& placesAnswered) {
    const std::string& dh = line[0];
    const auto differs = [&](const std::string& what, const std::string& stored, const std::string& expected) {
      Fail("line " + dh + " stored " + what + " " + stored + ", the screen showed " + expected);
    };
    const auto number = [&](std::size_t column) { return Number(line[column]); };
    if (line[1] != shown.hh) return differs("goods", line[1], shown.hh);
    const Table goods = Rows("select pm, lsj, case when isnull(fonlymoney,0)<>0 then 1 else 0 end from yw_kck where hh=" + SqlText(shown.hh));
    // The name and retail price of one version of the goods master: the row's own when it took the
    // goods, or the amended line's as it was stored.
    if (!goodsVersions_.contains(Version(line[1], line[2], line[8]))) {
      return differs("name and retail price", line[2] + " " + line[8], "a version of the goods' own, now " +
                                                                       goods[0][0] + " " + goods[0][1]);
    }
    if (line[10] != shown.unitName) return differs("unit", line[10], shown.unitName);
    // The unit as the goods list it now, with the coefficient shown; or, for a line taken with F3,
    // the line's own coefficient it was stored with, which no list gives.
    const double coefficient = ListedCoefficient(shown.hh, shown.unitName).value_or(-1);
    const bool ownKept = shown.amended && ownCoefficient_ && ownCoefficient_->lsh == lsh && ownCoefficient_->dh == dh &&
                         ownCoefficient_->hh == shown.hh && ownCoefficient_->unitName == shown.unitName &&
                         Near(ownCoefficient_->coefficient, shown.coefficient);
    if (!ownKept && !Near(coefficient, shown.coefficient)) {
      return differs("unit", shown.unitName + " (coefficient " + adodb::FormatNumber(coefficient) + ")",
                     "系数 " + adodb::FormatNumber(shown.coefficient));
    }
    // sl = txtXs x TxtSl at its column's scale; the quantity, price and amounts as shown. An amended
    // line stored without its quantity as entered (srsl 0 or NULL) may keep it so, its price then
    // the base unit's, when its figures are the stored ones (moved to other warehouses, say).
    const bool enteredUnknown = shown.amended && number(11) == 0 && shown.quantity != 0 &&
                                (Near(number(5) * shown.coefficient, shown.price) ||
                                 Near(FourPlaces(number(5) * shown.coefficient), shown.price));
    const std::tuple<const char*, std::size_t, double> figures[] = {
        {"srsl", 11, enteredUnknown ? 0 : shown.quantity}, {"sl", 6, FourPlaces(shown.coefficient * shown.quantity)},
        {"dj", 5, enteredUnknown ? number(5) : shown.price}, {"je", 7, shown.amount}, {"lsze", 9, shown.retailTotal}};
    for (const auto& [what, column, expected] : figures) {
      if (!Near(number(column), expected)) return differs(what, line[column], adodb::FormatNumber(expected));
    }
    if (line[12] != shown.out || line[13] != shown.in) {
      return differs("warehouses", line[12] + "->" + line[13], shown.out + "->" + shown.in);
    }
    CheckListedAsStored(line);
    const bool amountOnly = goods[0][2] == "1";
    if (!amountOnly && shown.retailFollowsQuantity && !Near(number(9), Cents(number(8) * number(6)))) {
      return differs("retail total", line[9], "零售价 " + line[8] + " x 数量 " + line[6]);
    }
    if (!amountOnly && Rows("select sl from phk where hh=" + SqlText(shown.hh) + " and ph=" + SqlText(line[3]) +
                            " and dh=" + SqlText(line[4]) + " and stockid=" + SqlText(shown.out)).empty()) {
      return differs("batch", line[3] + "/" + line[4], "a batch of warehouse " + shown.out);
    }
    if (KeepsPlaces(shown.in) && !amountOnly) {
      const double placed = Number(Rows("select isnull(sum(Quantity),0) from BillGoodsPlace where BillType='WarehouseIn' "
                                        "and BillGuid=" + SqlText(lsh) + " and BillDetailGuid=" + SqlText(dh))[0][0]);
      if (!Near(placed, number(6))) return differs("goods places summing to", adodb::FormatNumber(placed), line[6]);
      // Each place row as the dialog confirmed it (at the 4 places a row keeps), on a place the
      // warehouse lists, of the line's own goods, batch and in-warehouse.
      Table expected;
      for (const std::string& item : placesAnswered) {
        const std::size_t first = item.find(','), second = item.find(',', first + 1), third = item.find(',', second + 1);
        expected.push_back({item.substr(0, first), item.substr(second + 1, third - second - 1),
                            adodb::FormatNumber(FourPlaces(Number(item.substr(third + 1)))), shown.hh, shown.in,
                            line[3], line[4], "1"});
      }
      Table rows = Rows("select p.GoodsPlaceGuid, p.GoodsPlaceNo, p.Quantity, p.MaterielGuid, p.WarehouseGuid, p.BatchNo, "
                        "p.BatchNumber, (select count(*) from GoodsPlace g where g.GoodsPlaceGuid=p.GoodsPlaceGuid and "
                        "g.WarehouseGuid=p.WarehouseGuid) from BillGoodsPlace p where "
                        "p.BillType='WarehouseIn' and p.BillGuid=" + SqlText(lsh) + " and p.BillDetailGuid=" + SqlText(dh));
      for (Row& row : rows) row[2] = adodb::FormatNumber(Number(row[2]));
      std::sort(expected.begin(), expected.end());
      std::sort(rows.begin(), rows.end());
      if (rows != expected) {
        const auto text = [](const Table& table) {
          std::string joined;
          for (const Row& row : table) {
            for (const std::string& cell : row) joined += cell + " ";
            joined += "; ";
          }
          return joined;
        };
        return differs("place rows", text(rows), text(expected) + "(as the dialog answered)");
      }
    }
  }

  // The lines grid counts the line in the base unit (sl), so its price is the one per base unit:
  // 单价 x 数量 is what the clerk entered, price x quantity in the unit he chose.
  void CheckListedAsStored(const Row& line) {
    const GridModel* grid = form_->Grid("VfgContent");
    for (long row = 1; row < grid->Rows(); ++row) {
      if (grid->TextMatrix(row, 1) != line[0]) continue;
      // The quantity as shown with the places the site gives its column, which never hide any.
      const double listedPrice = Number(grid->TextMatrix(row, 5));
      const double listedQuantity = Number(NumberWithPlaces(Number(grid->TextMatrix(row, 6)), grid->ColDecimals(6)));
      // Beside no quantity as entered (srsl 0 or NULL) the price is the base unit's already.
      const double sl = Number(line[6]), entered = Number(line[5]) * (Number(line[11]) == 0 ? sl : Number(line[11]));
      if (!Near(listedQuantity, sl) || (sl != 0 && !Near(listedPrice * listedQuantity, entered))) {
        Fail("line " + line[0] + " is listed as " + grid->TextMatrix(row, 6) + " at " + grid->TextMatrix(row, 5) +
             ", stored as " + line[11] + " " + line[10] + " at " + line[5]);
      }
      return;
    }
    Fail("line " + line[0] + " is stored but not listed");
  }

  static std::string Version(const std::string& hh, const std::string& pm, const std::string& lsj) {
    return hh + "|" + pm + "|" + adodb::FormatNumber(FourPlaces(Number(lsj)));
  }
  void KeepGoodsVersions() {
    for (const Row& goods : Rows("select hh, pm, lsj from yw_kck")) goodsVersions_.insert(Version(goods[0], goods[1], goods[2]));
  }

  // Another clerk renames goods and prices them anew in the goods master while the row or a
  // stored line shows them: a line stored before keeps the name and retail price it was stored
  // with (its retail total goes with that price), and the row keeps what it took. Or the
  // administrator switches goods to or from being kept by amount only, or sets a new cost price.
  void AnotherClerkChangesTheGoodsMaster() {
    const std::string hh = Pick(std::vector<std::string>{"0001", "0006", "0004", "0040", "0003", "0021"});
    const Table goods = Rows("select pm, lsj, isnull(cbj,0) from yw_kck where hh=" + SqlText(hh));
    if (goods.empty()) return;
    if (const double kind = Uniform(0, 1); kind < 0.4) {
      const bool flip = kind < 0.25;
      const double cbj = Cents(Number(goods[0][2]) * 0.9 + 1.13);
      Log("the administrator " + (flip ? "switches " + hh + " to or from amount only" : "sets 成本价 of " + hh + " to " + adodb::FormatNumber(cbj)));
      check_->Execute(flip ? "update yw_kck set fonlymoney=1-isnull(fonlymoney,0) where hh=" + SqlText(hh)
                           : "update yw_kck set cbj=" + SqlNumber(cbj) + " where hh=" + SqlText(hh));
      return;
    }
    const std::string pm = goods[0][0].substr(0, goods[0][0].find('~')) + "~" + std::to_string(++renames_);
    const double lsj = Cents(Number(goods[0][1]) * 1.1 + 0.37);
    Log("another clerk renames " + hh + " to " + pm + " at 零售价 " + adodb::FormatNumber(lsj));
    check_->Execute("update yw_kck set pm=" + SqlText(pm) + ", lsj=" + SqlNumber(lsj) + " where hh=" + SqlText(hh));
    KeepGoodsVersions();
  }

  // Another clerk's audit takes from a batch of the out-warehouse, or empties it, while the row
  // shows it: the save weighs the batch and the stock again.
  void AnotherClerkTakesFromABatch() {
    const std::string out = Text("TxtBcCkID");
    const Table batches = Rows("select hh, ph, dh, sl from phk where sl>0 and stockid=" + SqlText(out));
    if (batches.empty()) return;
    const Row& batch = Pick(batches);
    const double taken = Chance(0.3) ? Number(batch[3]) : FourPlaces(Number(batch[3]) * Uniform(0.1, 0.9));
    Log("another clerk takes " + adodb::FormatNumber(taken) + " of " + batch[0] + " batch " + batch[1] + "/" + batch[2] +
        " from " + out);
    check_->Execute("update phk set sl=sl-" + SqlNumber(taken) + " where hh=" + SqlText(batch[0]) + " and ph=" +
                    SqlText(batch[1]) + " and dh=" + SqlText(batch[2]) + " and stockid=" + SqlText(out));
    check_->Execute("update ywbalance set sjsl=sjsl-" + SqlNumber(taken) + " where hh=" + SqlText(batch[0]) +
                    " and stockid=" + SqlText(out) + " and fperiod=0");
  }

  bool AmountOnlyNow(const std::string& hh) {
    return Rows("select case when isnull(fonlymoney,0)<>0 then 1 else 0 end from yw_kck where hh=" + SqlText(hh))[0][0] == "1";
  }
  bool KeepsPlaces(const std::string& warehouse) {
    const Table rows = Rows("select case when isnull(FDeleted,0)<>0 then 1 else 0 end from gl_stock where id=" + SqlText(warehouse));
    return !rows.empty() && rows[0][0] == "1";
  }

  // A goods-place row of the bill in progress always belongs to a stored line, and an in-warehouse
  // row to that line's in-warehouse.
  void CheckNoOrphanPlaces() {
    const Table strays = Rows("select p.BillDetailGuid, p.WarehouseGuid from BillGoodsPlace p left join ckdbdzkmx l on "
                              "l.lsh=p.BillGuid and l.dh=p.BillDetailGuid where p.BillGuid=" + SqlText(Text("TxtLSH")) +
                              " and (l.dh is null or (p.BillType='WarehouseIn' and p.WarehouseGuid<>l.drstockid))");
    if (!strays.empty()) {
      Fail("goods-place rows of line " + strays[0][0] + " in " + strays[0][1] + ", which is not stored or not its in-warehouse");
    }
  }

  // 审核 of what was saved: the stock moves exactly by the stored lines, or not at all.
  void AuditTheBill() {
    const std::string lsh = Text("TxtLSH");
    const Table lines = Lines(lsh);
    if (lines.empty()) return;
    const testsupport::StockFigures before = testsupport::ReadFigures(*check_);
    Log("审核");
    clerk_.alwaysYes = true;
    form_->Click("审核");
    const bool audited = Rows("select cast(isnull(shbz,0) as int) from ckdbdzk where lsh=" + SqlText(lsh))[0][0] == "1";
    testsupport::StockFigures expected = before;
    if (audited) {
      for (const Row& line : lines) {
        const double sl = Number(line[6]);
        const std::string batch = line[1] + "|" + line[3] + "|" + line[4];
        if (line[3].empty()) continue;  // goods kept by amount only move money, not quantities
        expected["phk|" + line[12] + "|" + batch] -= sl;
        expected["phk|" + line[13] + "|" + batch] += sl;
        if (KeepsPlaces(line[13])) expected["place|" + line[13] + "|" + batch] += sl;
        expected["sjsl|" + line[12] + "|" + line[1]] -= sl;
        expected["sjsl|" + line[13] + "|" + line[1]] += sl;
      }
    }
    testsupport::StockFigures actual = testsupport::ReadFigures(*check_);
    for (auto figures : {&expected, &actual}) {
      std::erase_if(*figures, [](const auto& entry) { return entry.first.starts_with("sj") && !entry.first.starts_with("sjsl"); });
      std::erase_if(*figures, [&](const auto& entry) {  // the out-warehouse's places follow its own rules
        return entry.first.starts_with("place|" + Text("TxtBcCkID") + "|");
      });
    }
    const std::string differences = testsupport::FigureDifferences(expected, actual);
    if (!differences.empty()) return Fail(std::string(audited ? "the audit moved other than its lines:\n" : "a refused audit moved stock:\n") + differences);
    if (!audited) return;
    // 反审 gives back what the audit moved, goods places too.
    Log("反审");
    form_->Click("反审");
    const std::string left = testsupport::FigureDifferences(before, testsupport::ReadFigures(*check_));
    if (!left.empty()) Fail("the un-audit left stock other than before the audit:\n" + left);
  }

  RandomClerk clerk_;
  TempDatabase db_;
  Session session_;
  std::shared_ptr<adodb::Connection> check_;
  std::unique_ptr<FrmStoreAdjuctBill> form_;
  std::vector<std::string> removedPlaces_;  // statements that add them again
  std::set<std::string> goodsVersions_;      // every name and retail price each goods has had
  int renames_ = 0;
  int unitChanges_ = 0;
  std::map<std::string, std::string> unitCodes_;  // hh|name -> FMeasureUnitID, every name a unit has had
  struct OwnCoefficient {
    std::string lsh, dh, hh, unitName;
    double coefficient = 1;
  };
  std::optional<OwnCoefficient> ownCoefficient_;  // the line last taken with F3, when it keeps its own
};

TEST(EntryPropertyTest, EverySavedLineIsTheLineTheScreenShowedAndItsAuditMovesExactlyIt) {
  testsupport::RunSeeds({1, 2, 3, 5, 8, 13, 21, 34},
                        [](unsigned seed) { return EntrySequence(seed).Run(testsupport::Rounds(60, 30)); });
}

}  // namespace
}  // namespace storeadjust
