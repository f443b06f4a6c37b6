// The error catalogue and the forming of socket failure messages.
#include <gtest/gtest.h>

#include <string>

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_error.h"

namespace sockets_test {
namespace {

TEST(ErrorText, CatalogueTexts) {
  struct Case {
    int code;
    std::string text;
  };
  const Case cases[] = {
      {0, ""},
      {12345, "Unknown Error 12345"},
      {-5, "Unknown Error -5"},
      {10004, "Interrupted system call"},
      {10037, "Operation, already in progress"},
      {10065, "No Route to Host"},
      {10069, "Disc Quota Exceeded"},
      {11001, "Host not found"},
      {11003, "Non-Recoverable errors: FORMERR, REFUSED, NOTIMP"},
      {11004, "Valid name, no data record of requested type"},
      {20001, "Error %d (%s) finding address for host"},
      {20012, "Error %d (%s) getting # of bytes in Receive Buffer"},
      {20013, "Error %d (%s) listining"},
      {20014, "Error %d (%s) recieving"},
      {20021, "Datagram exceeds Winsock's max UDP packet size"},
      {20026, "No Socket Class Defined"},
  };
  for (const Case& c : cases) EXPECT_EQ(sockets::ErrorText(c.code), c.text) << c.code;
}

TEST(ErrorText, CatalogueHoldsBothRangesAndNothingElse) {
  int known = 0;
  for (int code = 1; code < 30000; ++code) {
    if (sockets::ErrorText(code).rfind("Unknown Error", 0) == 0) continue;
    ++known;
    EXPECT_TRUE((code >= 10004 && code <= 11004) || (code >= 20001 && code <= 20026)) << code;
  }
  EXPECT_EQ(known, 51 + 26);
}

TEST(SockErrorMessage, FormedFromMessageCodeAndError) {
  struct Case {
    int error_code, message_code;
    std::string message;
  };
  const Case cases[] = {
      {10061, 20008, "Error 10061 (Connection refused) connecting"},
      {10092, 20016, "Error 10092 (WINSOCK DLL Version out of range) starting up WinSock"},
      {12345, 20014, "Error 12345 (Unknown Error 12345) recieving"},
      {0, 20013, "Error 0 () listining"},
      {10093, 0, "Successful WSASTARTUP not yet performed"},
      {10035, 20017, "No address specified"},
      {0, 20026, "No Socket Class Defined"},
      {10061, 99999, "Unknown Error 99999"},
      {0, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sockets::SockErrorMessage(c.error_code, c.message_code), c.message)
        << c.error_code << ", " << c.message_code;
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
}

TEST(SockErrorMessage, LongMessageIsCutTo255) {
  const std::string pattern = "Error %d (%s) " + std::string(300, 'x');
  const std::string message = sockets::FillSockErrorPattern(pattern, 10061);
  EXPECT_EQ(message.size(), 255u);
  EXPECT_EQ(message.rfind("Error 10061 (Connection refused) xxx", 0), 0u);
}

TEST(RaiseSockError, RaisesESockErrorWithTheMessage) {
  try {
    sockets::RaiseSockError(10061, 20008);
    FAIL() << "returned";
  } catch (const sockets::ESockError& error) {
    EXPECT_STREQ(error.what(), "Error 10061 (Connection refused) connecting");
  }
}

}  // namespace
}  // namespace sockets_test
