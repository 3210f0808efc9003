#include "adodb/Command.h"

#include "adodb/Error.h"

namespace adodb {

std::shared_ptr<Parameter> Command::CreateParameter(const std::string& name, DataType type,
                                                    ParameterDirection direction, long size, Variant value) const {
  return std::make_shared<Parameter>(name, type, direction, size, std::move(value));
}

Parameter& Command::Parameters(const std::string& name) {
  for (const auto& parameter : parameters_) {
    if (SameParameterName(parameter->Name(), name)) return *parameter;
  }
  throw Error::ItemNotFound();
}

Parameter& Command::Parameters(std::size_t index) {
  if (index >= parameters_.size()) throw Error::ItemNotFound();
  return *parameters_[index];
}

void Command::Execute() {
  if (!ActiveConnection || ActiveConnection->State() != adStateOpen) {
    throw Error(errnum::kConnectionInvalid,
                "The connection cannot be used to perform this operation. It is either closed or invalid in this context.",
                "ADODB.Command");
  }
  if (CommandTypeValue == adCmdText) {
    // The appended parameters are the values of the text's ? marks, in order.
    std::vector<Parameter> values;
    values.reserve(parameters_.size());
    for (const auto& parameter : parameters_) values.push_back(*parameter);
    ActiveConnection->Execute(CommandText, values);
    return;
  }
  ActiveConnection->GetBackend().CallProcedure(CommandText, parameters_);
}

}  // namespace adodb
