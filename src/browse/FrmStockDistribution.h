#pragma once
// The read-only window of 存量 (库存分布): the stock of the highlighted bill's goods per
// warehouse and batch, with the goods places holding it. The browser reads the holdings
// (ReadStockDistribution) and shows this window modally; nothing in it writes. Views pad the
// quantities to the site's quantity places, as the editor's grid shows them.
//
// Controls: TxtLSH (the bill's serial, read-only) with its label LblLSH, the grid VfgStock, StatusBar1 (how many rows, or that
// there is no stock) and Cmd_Close. Esc and Cmd_Close close the window.
#include <string>
#include <vector>

#include "browse/StockDistribution.h"
#include "host/FormModel.h"
#include "host/GridModel.h"
#include "host/GridNumberPlaces.h"

namespace storeadjust {

class FrmStockDistribution : public FormModel {
 public:
  static constexpr const char* kGrid = "VfgStock";

  FrmStockDistribution(const std::string& lsh, const std::vector<StockHolding>& holdings, NumberPlaces places = {});

  GridModel* Grid(const std::string& name) override { return name == kGrid ? &grid_ : nullptr; }
  void Click(const std::string& name) override;

 protected:
  void FormLoad() override;
  void FormKeyDown(int& keyCode, int shift) override;

 private:
  void FillGrid(const std::vector<StockHolding>& holdings, NumberPlaces places);

  TextGrid grid_;
};

}  // namespace storeadjust
