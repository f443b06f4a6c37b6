// The error catalogue and the forming of socket failure messages.
#include <gtest/gtest.h>

#include <string>

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_error.h"

namespace sockets_test {
namespace {

TEST(ErrorText, CatalogueHoldsBothRangesAndNothingElse) {
  int known = 0;
  for (int code = 1; code < 30000; ++code) {
    if (sockets::ErrorText(code).rfind("Unknown Error", 0) == 0) continue;
    ++known;
    EXPECT_TRUE((code >= 10004 && code <= 11004) || (code >= 20001 && code <= 20026)) << code;
  }
  EXPECT_EQ(known, 51 + 26);
  EXPECT_EQ(sockets::ErrorText(0), "");
  EXPECT_EQ(sockets::ErrorText(-5), "Unknown Error -5");
  EXPECT_EQ(sockets::ErrorText(11004), "Valid name, no data record of requested type");
}

// Each error number and message code, and the message of the ESockError raised.
TEST(RaiseSockError, FormsTheMessageFromMessageCodeAndError) {
  struct Case {
    int error_code, message_code;
    std::string message;
  };
  const Case cases[] = {
      {10061, 20008, "Error 10061 (Connection refused) connecting"},
      {10092, 20016, "Error 10092 (WINSOCK DLL Version out of range) starting up WinSock"},
      {12345, 20014, "Error 12345 (Unknown Error 12345) recieving"},
      {0, 20013, "Error 0 () listining"},
      {10004, 20001, "Error 10004 (Interrupted system call) finding address for host"},
      {10037, 20012,
       "Error 10037 (Operation, already in progress) getting # of bytes in Receive Buffer"},
      {10093, 0, "Successful WSASTARTUP not yet performed"},
      {11003, 0, "Non-Recoverable errors: FORMERR, REFUSED, NOTIMP"},
      {10035, 20017, "No address specified"},
      {0, 20026, "No Socket Class Defined"},
      {10061, 99999, "Unknown Error 99999"},
      {0, 0, ""},
  };
  for (const Case& c : cases) {
    try {
      sockets::RaiseSockError(c.error_code, c.message_code);
      ADD_FAILURE() << "returned";
    } catch (const sockets::ESockError& error) {
      EXPECT_EQ(error.what(), c.message) << c.error_code << ", " << c.message_code;
    }
  }
}

TEST(SockErrorMessage, PlaceholdersFilledInTheOrderTheyOccur) {
  struct Case {
    std::string pattern, message;
  };
  const Case cases[] = {
      {"%s after %d", "Connection refused after 10061"},
      {"Error %D (%S)", "Error 10061 (Connection refused)"},
      {"only %s", "only Connection refused"},
      {"only %d", "only 10061"},
      {"100% sure", "100% sure"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sockets::FillSockErrorPattern(c.pattern, 10061), c.message) << c.pattern;
  }
  const std::string message =
      sockets::FillSockErrorPattern("Error %d (%s) " + std::string(300, 'x'), 10061);
  EXPECT_EQ(message.size(), 255u);
  EXPECT_EQ(message.rfind("Error 10061 (Connection refused) xxx", 0), 0u);
}

}  // namespace
}  // namespace sockets_test
