// Test fixture: the binding set to the stand-in library, with its switches cleared
// and the library stopped again after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "sockets/winsock_unit.h"
#include "tests/support/outcome.h"

namespace sockets_test {

using testsupport::Outcome;

class FakeLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("FAKESOCK_STARTUP_RESULT");
    unsetenv("FAKESOCK_BLOCKING");
    sockets::StopWinsock();
    sockets::WinsockAPI().SetLibraryName("FAKESOCK");
  }
  void TearDown() override {
    unsetenv("FAKESOCK_STARTUP_RESULT");
    unsetenv("FAKESOCK_BLOCKING");
    sockets::StopWinsock();
  }
};

}  // namespace sockets_test
