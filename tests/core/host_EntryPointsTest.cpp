// The library's C entry points, loaded the way a host loads them.
#ifdef STOREADJUST_HOST_LIBRARY
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "QvStoreAdjuctBillV11.h"
#include "support/TempDatabase.h"

namespace {

class HostLibrary {
 public:
  HostLibrary() : handle_(dlopen(STOREADJUST_HOST_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {}
  ~HostLibrary() {
    if (handle_) dlclose(handle_);
  }
  HostLibrary(const HostLibrary&) = delete;
  HostLibrary& operator=(const HostLibrary&) = delete;
  bool Loaded() const { return handle_ != nullptr; }
  template <typename F>
  F* Get(const char* name) const {
    return reinterpret_cast<F*>(dlsym(handle_, name));
  }

 private:
  void* handle_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.Loaded()) << dlerror();
    const char* old = getenv("XDG_CONFIG_HOME");
    if (old) savedConfig = old;
    hadConfig = old != nullptr;
    setenv("XDG_CONFIG_HOME", config.Folder().c_str(), 1);
  }
  void TearDown() override {
    if (hadConfig) {
      setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  std::filesystem::path RegistryFile() const { return config.Folder() / "storeadjust" / "registry.ini"; }

  HostLibrary library;
  const testsupport::TempDatabase config;  // its folder stands in for the user's configuration folder
  std::string savedConfig;
  bool hadConfig = false;
};

TEST_F(EntryPointsTest, RegisteringWritesOneLineWithTheLibrarysPathAndUnregisteringRemovesIt) {
  auto* reg = library.Get<int32_t()>("DllRegisterServer");
  auto* unreg = library.Get<int32_t()>("DllUnregisterServer");
  ASSERT_TRUE(reg && unreg);
  std::filesystem::create_directories(RegistryFile().parent_path());
  std::ofstream(RegistryFile()) << "Other.Class=/opt/other.so\n"
                                << QVSTOREADJUCTBILL_CLASS_NAME << "=/stale/path.so\n";
  EXPECT_EQ(reg(), SA_S_OK);
  EXPECT_EQ(reg(), SA_S_OK);
  const std::string expected = std::string(QVSTOREADJUCTBILL_CLASS_NAME) + "=" +
                               std::filesystem::canonical(STOREADJUST_HOST_LIBRARY).string() + "\n";
  EXPECT_EQ(ReadFile(RegistryFile()), "Other.Class=/opt/other.so\n" + expected);

  EXPECT_EQ(unreg(), SA_S_OK);
  EXPECT_EQ(ReadFile(RegistryFile()), "Other.Class=/opt/other.so\n");
}

TEST_F(EntryPointsTest, TheFactoryIsHandedOutForTheClassNameOnlyAndUnloadWaitsForLiveObjects) {
  auto* getClass = library.Get<int32_t(const char*, void**)>("DllGetClassObject");
  auto* canUnload = library.Get<int32_t()>("DllCanUnloadNow");
  auto* release = library.Get<void(StoreAdjuctBillHandle*)>("StoreAdjuctBill_Release");
  auto* setConn = library.Get<int32_t(StoreAdjuctBillHandle*, const char*)>("StoreAdjuctBill_SetConnStr");
  auto* setDate = library.Get<int32_t(StoreAdjuctBillHandle*, const char*)>("StoreAdjuctBill_SetSysDate");
  ASSERT_TRUE(getClass && canUnload && release && setConn && setDate);

  void* factory = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClass("Other.Class", &factory), SA_CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
  ASSERT_EQ(getClass(QVSTOREADJUCTBILL_CLASS_NAME, &factory), SA_S_OK);
  ASSERT_NE(factory, nullptr);

  EXPECT_EQ(canUnload(), SA_S_OK);
  StoreAdjuctBillHandle* object = static_cast<StoreAdjuctBillFactory*>(factory)->Create();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(canUnload(), SA_S_FALSE);
  EXPECT_EQ(setConn(object, nullptr), SA_S_OK);
  EXPECT_EQ(setDate(object, "not a date"), SA_E_INVALIDARG);
  EXPECT_EQ(setDate(object, "2026-05-01"), SA_S_OK);
  release(object);
  EXPECT_EQ(canUnload(), SA_S_OK);
}

}  // namespace
#endif
