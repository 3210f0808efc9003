#include "host/DataScopeProvider.h"

#include <utility>

#include "host/EmbeddedDataScopeProvider.h"

namespace storeadjust {

namespace {

DataScopeProviderFactory& CurrentFactory() {
  static DataScopeProviderFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<DataScopeProvider> CreateDataScopeProvider() {
  const DataScopeProviderFactory& factory = CurrentFactory();
  if (factory) return factory();
  return std::make_unique<EmbeddedDataScopeProvider>();
}

DataScopeProviderFactory SetDataScopeProviderFactory(DataScopeProviderFactory factory) {
  return std::exchange(CurrentFactory(), std::move(factory));
}

}  // namespace storeadjust
