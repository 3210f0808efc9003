#pragma once
// Reads the first row of one query into an array: element 0 is the number of rows the query
// returned (0 when none), elements 1..n the first row's columns in select-list order. A NULL
// column, or every column when there is no row, takes its type group's default (SqlValueTypeGroup).
// One instance per query. Unlike the other readers it traps nothing: a failing query throws
// adodb::Error to the caller.
#include <string>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Variant.h"
#include "host/Session.h"

namespace storeadjust {

class GetSqlValue {
 public:
  explicit GetSqlValue(Session& session) : session_(session) {}

  const std::string& KDSql() const { return kdSql_; }
  // The query, with the values of its ? marks in order.
  void SetKDSql(std::string sql, adodb::BoundValues values = {}) {
    kdSql_ = std::move(sql);
    kdValues_ = std::move(values);
  }

  // Runs KDSql on the session connection and fills ArrayValue. Throws adodb::Error.
  void GetArrayValue();
  // A copy of the array filled by the last GetArrayValue (empty before the first).
  std::vector<adodb::Variant> ArrayValue() const { return arrayValue_; }

 private:
  Session& session_;
  std::string kdSql_;
  adodb::BoundValues kdValues_;
  std::vector<adodb::Variant> arrayValue_;
};

}  // namespace storeadjust
