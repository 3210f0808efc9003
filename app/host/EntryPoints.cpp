// The library's C entry points over storeadjust::StoreAdjuctBill. No C++ exception leaves
// this file: the host may be written in any language.
#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>

#include "QvStoreAdjuctBillV11.h"
#include "RegistryFile.h"
#include "host/ConsoleUserInterface.h"
#include "module/StoreAdjuctBill.h"

struct StoreAdjuctBillHandle {
  explicit StoreAdjuctBillHandle(storeadjust::UserInterface& ui) : bill(ui) {}
  storeadjust::StoreAdjuctBill bill;
};

namespace {

std::atomic<long> liveObjects{0};
std::atomic<storeadjust::UserInterface*> installedUi{nullptr};

storeadjust::UserInterface& CurrentUi() {
  static storeadjust::ConsoleUserInterface console;
  storeadjust::UserInterface* ui = installedUi.load();
  return ui ? *ui : console;
}

std::string Text(const char* value) { return value ? std::string(value) : std::string(); }

template <typename Setter>
int32_t Set(StoreAdjuctBillHandle* handle, Setter&& setter) {
  if (!handle) return SA_E_INVALIDARG;
  try {
    setter(handle->bill);
    return SA_S_OK;
  } catch (...) {
    return SA_E_FAIL;
  }
}

std::string ThisLibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  auto path = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : path.lexically_normal().string();
}

const StoreAdjuctBillFactory factory{&StoreAdjuctBill_Create};

}  // namespace

extern "C" {

StoreAdjuctBillHandle* StoreAdjuctBill_Create(void) {
  try {
    auto* handle = new StoreAdjuctBillHandle(CurrentUi());
    ++liveObjects;
    return handle;
  } catch (...) {
    return nullptr;
  }
}

void StoreAdjuctBill_Release(StoreAdjuctBillHandle* handle) {
  if (!handle) return;
  delete handle;
  --liveObjects;
}

int32_t StoreAdjuctBill_SetNetInfo(StoreAdjuctBillHandle* h, const char* v) {
  return Set(h, [&](auto& b) { b.SetNetInfo(Text(v)); });
}
int32_t StoreAdjuctBill_SetIsLegacyHost(StoreAdjuctBillHandle* h, int v) {
  return Set(h, [&](auto& b) { b.SetIsLegacyHost(v != 0); });
}
int32_t StoreAdjuctBill_SetNetHandle(StoreAdjuctBillHandle* h, int16_t v) {
  return Set(h, [&](auto& b) { b.SetNetHandle(v); });
}
int32_t StoreAdjuctBill_SetSysDate(StoreAdjuctBillHandle* h, const char* v) {
  auto date = adodb::Date::Parse(Text(v));
  if (!date) return SA_E_INVALIDARG;
  return Set(h, [&](auto& b) { b.SetSysDate(*date); });
}
int32_t StoreAdjuctBill_SetCommandTimeout(StoreAdjuctBillHandle* h, int16_t v) {
  return Set(h, [&](auto& b) { b.SetCommandTimeout(v); });
}
int32_t StoreAdjuctBill_SetConnStr(StoreAdjuctBillHandle* h, const char* v) {
  return Set(h, [&](auto& b) { b.SetConnStr(Text(v)); });
}
int32_t StoreAdjuctBill_SetOptCode(StoreAdjuctBillHandle* h, const char* v) {
  return Set(h, [&](auto& b) { b.SetOptCode(Text(v)); });
}
int32_t StoreAdjuctBill_SetOptName(StoreAdjuctBillHandle* h, const char* v) {
  return Set(h, [&](auto& b) { b.SetOptName(Text(v)); });
}
int32_t StoreAdjuctBill_SetisNotPh(StoreAdjuctBillHandle* h, int v) {
  return Set(h, [&](auto& b) { b.SetisNotPh(v != 0); });
}
int32_t StoreAdjuctBill_SetEditionId(StoreAdjuctBillHandle* h, int16_t v) {
  return Set(h, [&](auto& b) { b.SetEditionId(v); });
}
int32_t StoreAdjuctBill_SetCategory(StoreAdjuctBillHandle* h, const char* v) {
  return Set(h, [&](auto& b) { b.SetCategory(Text(v)); });
}

int32_t StoreAdjuctBill_Execute(StoreAdjuctBillHandle* h) {
  return Set(h, [](auto& b) { b.Execute(); });
}

void StoreAdjuctBill_SetUserInterface(void* userInterface) {
  installedUi.store(static_cast<storeadjust::UserInterface*>(userInterface));
}

int32_t DllRegisterServer(void) {
  try {
    const std::string path = ThisLibraryPath();
    if (path.empty()) return SA_E_FAIL;
    return storeadjust::registry::WriteEntry(QVSTOREADJUCTBILL_CLASS_NAME, path) ? SA_S_OK : SA_E_FAIL;
  } catch (...) {
    return SA_E_FAIL;
  }
}

int32_t DllUnregisterServer(void) {
  try {
    return storeadjust::registry::RemoveEntry(QVSTOREADJUCTBILL_CLASS_NAME) ? SA_S_OK : SA_E_FAIL;
  } catch (...) {
    return SA_E_FAIL;
  }
}

int32_t DllGetClassObject(const char* className, void** out) {
  if (!out) return SA_E_INVALIDARG;
  *out = nullptr;
  if (!className || std::strcmp(className, QVSTOREADJUCTBILL_CLASS_NAME) != 0) return SA_CLASS_E_CLASSNOTAVAILABLE;
  *out = const_cast<StoreAdjuctBillFactory*>(&factory);
  return SA_S_OK;
}

int32_t DllCanUnloadNow(void) { return liveObjects.load() == 0 ? SA_S_OK : SA_S_FALSE; }

}  // extern "C"
