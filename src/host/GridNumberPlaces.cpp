#include "host/GridNumberPlaces.h"

#include <vector>

#include "host/LenientValues.h"

namespace storeadjust {

namespace {

bool Names(const std::string& caption, const char* word) { return caption.find(word) != std::string::npos; }

}  // namespace

NumberPlaces SiteNumberPlaces(const adodb::Recordset& sysVar) {
  const auto places = [&](const char* column) -> int {
    const adodb::Variant& value = sysVar.Value(column);
    return IsMissing(value) ? 0 : value.AsInt16();
  };
  return {places("SLWS"), places("wsjws")};
}

// A caption naming two of them is taken as a quantity before an amount, an amount before a price.
int CaptionDecimals(const std::string& caption, NumberPlaces places) {
  if (Names(caption, "数量")) return places.quantity;
  if (Names(caption, "额")) return kAmountPlaces;
  if (Names(caption, "价")) return places.price;
  return -1;
}

void ShowNumberPlaces(GridModel& grid, NumberPlaces places) {
  std::vector<int> decimals(static_cast<std::size_t>(grid.Cols()), -1);
  if (grid.Rows() > 0) {
    for (long col = 0; col < grid.Cols(); ++col) {
      if (grid.ColAlignment(col) == GridModel::Alignment::Right) {
        decimals[static_cast<std::size_t>(col)] = CaptionDecimals(grid.TextMatrix(0, col), places);
      }
    }
  }
  grid.SetColDecimals(std::move(decimals));
}

}  // namespace storeadjust
