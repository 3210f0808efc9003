// The library's C entry points, loaded the way a host loads them.
#ifdef STOREADJUST_HOST_LIBRARY
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "QvStoreAdjuctBillV11.h"
#include "support/TempDatabase.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) { return (std::ostringstream() << std::ifstream(path).rdbuf()).str(); }

// The library is loaded afresh and the user's configuration folder is a temporary one.
class EntryPointsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library) << dlerror();
    if (const char* old = getenv("XDG_CONFIG_HOME")) savedConfig = old;
    setenv("XDG_CONFIG_HOME", config.Folder().c_str(), 1);
  }
  void TearDown() override {
    if (savedConfig) setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  template <typename F>
  F* Get(const char* name) const {
    return reinterpret_cast<F*>(dlsym(library.get(), name));
  }

  std::unique_ptr<void, int (*)(void*)> library{dlopen(STOREADJUST_HOST_LIBRARY, RTLD_NOW | RTLD_LOCAL), &dlclose};
  const testsupport::TempDatabase config;
  std::optional<std::string> savedConfig;
};

TEST_F(EntryPointsTest, RegisteringWritesOneLineWithTheLibrarysPathAndUnregisteringRemovesIt) {
  auto* reg = Get<int32_t()>("DllRegisterServer");
  auto* unreg = Get<int32_t()>("DllUnregisterServer");
  ASSERT_TRUE(reg && unreg);
  const std::filesystem::path registry = config.Folder() / "storeadjust" / "registry.ini";
  std::filesystem::create_directories(registry.parent_path());
  std::ofstream(registry) << "Other.Class=/opt/other.so\n" << QVSTOREADJUCTBILL_CLASS_NAME << "=/stale/path.so\n";
  EXPECT_EQ(reg(), SA_S_OK);
  EXPECT_EQ(reg(), SA_S_OK);  // a second registration writes no second line
  EXPECT_EQ(ReadFile(registry), "Other.Class=/opt/other.so\n" + std::string(QVSTOREADJUCTBILL_CLASS_NAME) + "=" +
                                    std::filesystem::canonical(STOREADJUST_HOST_LIBRARY).string() + "\n");
  EXPECT_EQ(unreg(), SA_S_OK);
  EXPECT_EQ(ReadFile(registry), "Other.Class=/opt/other.so\n");
}

// What registering answers in a child process started in `folder` with the environment given
// (an empty value: the variable unset), as user `uid` when given: 0 for S_OK, 1 for E_FAIL.
int RegisteredFrom(int32_t (*reg)(), const std::filesystem::path& folder, const char* home, const char* config,
                   uid_t uid = 0) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(125);
    if (uid != 0 && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(126);
    for (const auto& [name, value] : {std::pair{"HOME", home}, std::pair{"XDG_CONFIG_HOME", config}}) {
      if (*value) setenv(name, value, 1);
      else unsetenv(name);
    }
    const int32_t result = reg();
    _exit(result == SA_S_OK ? 0 : result == SA_E_FAIL ? 1 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A host run without HOME (a service, su -, env -i) or with a relative HOME or XDG_CONFIG_HOME
// registers the library in the user's own configuration folder, never in a .config under the
// folder the host runs in, where no later look finds it; a user with no home anywhere gets E_FAIL,
// as for a registry that cannot be written, and nothing is made.
TEST_F(EntryPointsTest, RegisteringWithoutHomeNeverWritesUnderTheFolderTheHostRunsIn) {
  auto* reg = Get<int32_t()>("DllRegisterServer");
  ASSERT_TRUE(reg);
  const auto started = config.Folder() / "started here", home = config.Folder() / "home";
  std::filesystem::create_directories(started);
  std::filesystem::permissions(started, std::filesystem::perms::all);
  EXPECT_EQ(RegisteredFrom(reg, started, home.c_str(), "config"), 0);
  EXPECT_NE(ReadFile(home / ".config/storeadjust/registry.ini").find(QVSTOREADJUCTBILL_CLASS_NAME), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(started), {}), 0);

  if (getuid() != 0) GTEST_SKIP() << "only root can run the host as a user the password database does not know";
  const uid_t stranger = 4000123;
  ASSERT_EQ(getpwuid(stranger), nullptr);
  EXPECT_EQ(RegisteredFrom(reg, started, "", "", stranger), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(started), {}), 0);
}

// The factory is handed out for the class name only, and unloading waits for live objects.
TEST_F(EntryPointsTest, TheFactoryIsForTheClassNameOnlyAndUnloadWaitsForLiveObjects) {
  auto* getClass = Get<int32_t(const char*, void**)>("DllGetClassObject");
  auto* canUnload = Get<int32_t()>("DllCanUnloadNow");
  auto* release = Get<void(StoreAdjuctBillHandle*)>("StoreAdjuctBill_Release");
  auto* setConn = Get<int32_t(StoreAdjuctBillHandle*, const char*)>("StoreAdjuctBill_SetConnStr");
  auto* setDate = Get<int32_t(StoreAdjuctBillHandle*, const char*)>("StoreAdjuctBill_SetSysDate");
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
