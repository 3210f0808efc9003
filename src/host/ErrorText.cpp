#include "host/ErrorText.h"

#include "adodb/Error.h"

namespace storeadjust {

std::string ErrorText(const std::exception& error) {
  const auto* adoError = dynamic_cast<const adodb::Error*>(&error);
  return adoError ? adoError->Description() : std::string(error.what());
}

}  // namespace storeadjust
