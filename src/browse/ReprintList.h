#pragma once
// The reprint function's list, apart from any screen: the stored transfer bills (posted ones
// too) within the operator's data scope, narrowed by a part of the serial and by a range of bill dates, each with the state its
// flags say; the bills the user chose, in list order; and their slips for printing.
//
// The reprint component is outside the module: it opens its own connection from the request's
// connection string when made, and keeps it for as long as it lives. Every failure to open or
// read throws adodb::Error.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adodb/Date.h"
#include "host/BillSlip.h"
#include "host/BoundSql.h"
#include "host/UserInterface.h"

namespace adodb {
class Connection;
}

namespace storeadjust {

struct ReprintBill {
  std::string serial;
  std::string date;          // YYYY-MM-DD
  std::string outWarehouse;  // "01 总仓"
  std::string inWarehouse;
  std::string state;         // as the editor names it in the site's working mode: 未审核, 已审核 …
};

class ReprintList {
 public:
  // Opens the connection and lists the bills of the business date's month up to that date, or up
  // to the latest bill dated after it.
  explicit ReprintList(const ReprintRequest& request);
  ~ReprintList();
  ReprintList(const ReprintList&) = delete;
  ReprintList& operator=(const ReprintList&) = delete;

  // Bills whose serial contains the text (blank: any serial). Takes effect at Refresh.
  void SetSerialFilter(const std::string& text) { serialFilter_ = text; }
  const std::string& SerialFilter() const { return serialFilter_; }
  // Bills dated from..to, both days included; an open end does not limit. Takes effect at Refresh.
  void SetDateRange(std::optional<adodb::Date> from, std::optional<adodb::Date> to);
  const std::optional<adodb::Date>& From() const { return from_; }
  const std::optional<adodb::Date>& To() const { return to_; }

  // Reads the bills that pass the filters, in serial order, and the working mode their states are
  // named in; forgets the choice.
  void Refresh();
  const std::vector<ReprintBill>& Bills() const { return bills_; }

  // The rows (0-based) the user chose; rows past the list are ignored, the order is the list's.
  void Choose(const std::vector<std::size_t>& rows);
  std::vector<std::string> ChosenSerials() const;
  // The chosen bills' slips, read through the list's connection.
  std::vector<BillSlip> ReadChosenSlips() const;

 private:
  BoundSql ListStatement() const;

  std::shared_ptr<adodb::Connection> connection_;
  BoundSql dataScope_;  // the request's: the bills the operator may see
  std::string serialFilter_;
  std::optional<adodb::Date> from_, to_;
  std::vector<ReprintBill> bills_;
  std::vector<bool> chosen_;
};

}  // namespace storeadjust
