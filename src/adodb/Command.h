#pragma once
// A stored-procedure call in the shape of the classic ADO Command: set the connection and the
// procedure name, append typed parameters, Execute, then read the output parameters back.
#include <memory>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Parameter.h"

namespace adodb {

enum CommandType : int { adCmdText = 1, adCmdStoredProc = 4 };

class Command {
 public:
  std::shared_ptr<Connection> ActiveConnection;
  std::string CommandText;
  int CommandTypeValue = adCmdStoredProc;

  std::shared_ptr<Parameter> CreateParameter(const std::string& name, DataType type, ParameterDirection direction,
                                             long size = 0, Variant value = {}) const;
  void Append(std::shared_ptr<Parameter> parameter) { parameters_.push_back(std::move(parameter)); }
  // By case-insensitive name; throws Error::ItemNotFound.
  Parameter& Parameters(const std::string& name);
  Parameter& Parameters(std::size_t index);
  std::size_t ParameterCount() const { return parameters_.size(); }

  void Execute();  // throws adodb::Error

 private:
  std::vector<std::shared_ptr<Parameter>> parameters_;
};

}  // namespace adodb
