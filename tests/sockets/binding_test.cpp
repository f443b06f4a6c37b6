// The socket library binding: the library name and file rules, loading, entry
// points resolved on first use, and starting and stopping the library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sockets/dynamic_library.h"
#include "sockets/exceptions.h"
#include "sockets/winsock_unit.h"

namespace sockets_test {
namespace {

using sockets::WinsockAPI;

// The binding set to the stand-in library, stopped again and its switches
// cleared after each test.
class FakeLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sockets::StopWinsock();
    sockets::WinsockAPI().SetLibraryName("FAKESOCK");
  }
  void TearDown() override {
    unsetenv("FAKESOCK_STARTUP_RESULT");
    unsetenv("FAKESOCK_BLOCKING");
    sockets::StopWinsock();
  }
};

std::string ExecutableDirectory() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

std::string FakeLibraryPath() {
  return ExecutableDirectory() + "/libfakesock.so";
}

// What `action` raises: the general exception's message, or that of an ESockError
// marked as such.
std::string Raised(const std::function<void()>& action) {
  try {
    action();
  } catch (const sockets::ESockError& error) {
    return std::string("ESockError: ") + error.what();
  } catch (const sockets::Exception& error) {
    return error.what();
  }
  return "none";
}

bool FakeLibraryLoaded() {
  void* handle = dlopen(FakeLibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

TEST(LibraryName, StoredByTheNameRule) {
  struct Case {
    std::string before, written, stored;
  };
  const Case cases[] = {
      {"", "mysock", "mysock.DLL"},
      {"", "mysock.dll", "mysock.dll"},
      {"", "x.so", "x.so"},
      {"", "dir.v2/mysock", "dir.v2/mysock.DLL"},
      {"WSOCK32.DLL", "WSOCK32.dll", "WSOCK32.DLL"},
      {"mysock.DLL", "other", "other.DLL"},
      {"mysock.DLL", "", ""},
  };
  for (const Case& c : cases) {
    sockets::tWinsockAPI api;
    if (!c.before.empty()) api.SetLibraryName(c.before);
    api.SetLibraryName(c.written);
    EXPECT_EQ(api.LibraryName(), c.stored) << c.before << " then " << c.written;
  }
}

TEST(LibraryFile, NameGivesTheFilesTried) {
  const std::string here = ExecutableDirectory() + "/";
  struct Case {
    std::string name;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"WSOCK32.DLL", {here + "libwsock32.so", "libwsock32.so"}},
      {"MySock", {here + "libmysock.so", "libmysock.so"}},
      {"C:\\WINDOWS\\SYSTEM\\My.Sock.Dll", {here + "libmy.sock.so", "libmy.sock.so"}},
      {"/opt/lib/WSOCK32.DLL", {here + "libwsock32.so", "libwsock32.so"}},
      {"libfoo.so", {"libfoo.so"}},
      {"/opt/lib/libfoo.so", {"/opt/lib/libfoo.so"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sockets::LibraryFileCandidates(c.name), c.files) << c.name;
  }
}

TEST(Loading, LibraryThatCannotBeLoadedRaisesTheGeneralExceptionEachTime) {
  sockets::tWinsockAPI api;
  api.SetLibraryName("NOSUCHLIB");
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(Raised([&] { api.socket(2, 1, 0); }),
              "Unable to load Library \"NOSUCHLIB.DLL\" Error 0");
    EXPECT_EQ(api.LibraryHandle(), nullptr);
  }
}

using EntryPoints = FakeLibraryTest;

TEST_F(EntryPoints, MissingEntryPointRaisesAtItsFirstCallWhileOthersWork) {
  sockets::tWinsockAPI& api = WinsockAPI();
  EXPECT_EQ(api.LibraryHandle(), nullptr) << "loaded before the first call";
  EXPECT_EQ(api.socket(2, 1, 0), 7u);
  EXPECT_NE(api.LibraryHandle(), nullptr);
  // The C library defines `send`; the stand-in does not, so the entry is missing.
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(Raised([&] { api.send(7, "x", 1, 0); }), "Unable to locate function in DLL");
  }
  EXPECT_EQ(api.htons(0x1234), 0x3412);
  EXPECT_EQ(api.sendto(7, "abc", 3, 0, nullptr, 16), 3);
}

TEST_F(EntryPoints, LibraryNameCannotChangeOnceLoaded) {
  sockets::tWinsockAPI& api = WinsockAPI();
  api.WSAGetLastError();
  for (const char* name : {"FAKESOCK.DLL", "OTHER"}) {
    EXPECT_EQ(Raised([&] { api.SetLibraryName(name); }),
              "ESockError: Winsock DLL Already Loaded, Cannot change name");
  }
  EXPECT_EQ(api.LibraryName(), "FAKESOCK.DLL");
}

using StartStop = FakeLibraryTest;

TEST_F(StartStop, StartKeepsACopyOfWSADataAndAFailedStartRaises) {
  sockets::StartWinsock();
  EXPECT_TRUE(sockets::WinsockStarted());
  EXPECT_EQ(sockets::RequestedVersion, 0x0101);
  EXPECT_EQ(sockets::WSAData.iMaxUdpDg, 512);
  EXPECT_EQ(WinsockAPI().MaxUdpDg(), 512);
  EXPECT_STREQ(WinsockAPI().VendorInfo(), "fake vendor");
  sockets::StopWinsock();

  setenv("FAKESOCK_STARTUP_RESULT", "10092", 1);
  sockets::WinsockAPI().SetLibraryName("FAKESOCK");
  EXPECT_EQ(Raised([] { sockets::StartWinsock(); }),
            "ESockError: Error 10092 (WINSOCK DLL Version out of range) starting up WinSock");
  EXPECT_FALSE(sockets::WinsockStarted());
  EXPECT_EQ(sockets::LastWinsockResult, 10092);
  EXPECT_EQ(WinsockAPI().Description(), "Fake sockets") << "copies are taken on failure too";
}

TEST_F(StartStop, StopCleansUpResetsTheSharedStateAndUnloads) {
  sockets::StartWinsock();
  ASSERT_TRUE(FakeLibraryLoaded());
  sockets::WaitNesting = 2;
  sockets::DeferredQueue.Append({2135, 7, 1, 0}, nullptr);

  sockets::StopWinsock();

  EXPECT_FALSE(FakeLibraryLoaded());
  EXPECT_EQ(sockets::WaitNesting, 0);
  EXPECT_TRUE(sockets::DeferredQueue.Empty());
  EXPECT_FALSE(sockets::WinsockStarted()) << "a fresh binding";
  EXPECT_EQ(WinsockAPI().LibraryHandle(), nullptr);
  EXPECT_EQ(WinsockAPI().LibraryName(), "");
}

TEST_F(StartStop, CallsInOrderWithABlockingCallCancelled) {
  // Hold the library ourselves to read its call log after the binding unloads it.
  void* own = dlopen(FakeLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(own, nullptr) << dlerror();
  const auto call_log = reinterpret_cast<const char* (*)()>(dlsym(own, "FakeSockCallLog"));
  ASSERT_NE(call_log, nullptr);
  const std::string before = call_log();

  setenv("FAKESOCK_BLOCKING", "1", 1);
  sockets::StartWinsock();
  sockets::StartWinsock();
  sockets::StopWinsock();

  EXPECT_EQ(std::string(call_log()).substr(before.size()),
            std::string(before.empty() ? "" : " ") +
                "WSAStartup WSAIsBlocking WSACancelBlockingCall WSACleanup");
  dlclose(own);
}

}  // namespace
}  // namespace sockets_test
