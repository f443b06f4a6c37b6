// The error catalogue, the forming of socket failure messages, and the layer's
// small text helpers: numeric ports and token cutting.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/wsock32/winsock.h"
#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_error.h"
#include "sockets/text_helpers.h"

namespace sockets_test {
namespace {

// Every error the socket library can report reaches the user as its text, never
// as "Unknown Error".
TEST(ErrorText, EveryErrorOfTheLibraryHasItsText) {
  using namespace winsock;
  // The library's numbers: a few below WSAEWOULDBLOCK, then three unbroken runs.
  std::vector<int> library_errors = {WSAEINTR,  WSAEBADF,  WSAEACCES,
                                     WSAEFAULT, WSAEINVAL, WSAEMFILE};
  for (const auto& [first, last] : {std::pair{WSAEWOULDBLOCK, WSAEREMOTE},
                                    {WSASYSNOTREADY, WSANOTINITIALISED},
                                    {WSAHOST_NOT_FOUND, WSANO_DATA}}) {
    for (int code = first; code <= last; ++code) library_errors.push_back(code);
  }
  for (const int code : library_errors) {
    EXPECT_NE(sockets::ErrorText(code).rfind("Unknown Error", 0), 0u) << code;
  }
}

// Each error number and message code, and the message of the ESockError raised:
// the texts of known, unknown and no error included.
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

TEST(IsNumeric, ThirtyTwoBitIntegersOtherThanMinusOne) {
  struct Case {
    std::string text;
    bool numeric;
  };
  const Case cases[] = {
      {"6667", true},        {"0", true},           {"  6667", true},       {"+5", true},
      {"-5", true},          {"$1a0B", true},       {"-$10", true},         {"2147483647", true},
      {"-2147483648", true}, {"$FFFFFFFE", true},   {"-1", false},          {"$FFFFFFFF", false},
      {"-$1", false},        {"ircd", false},       {"6667 ", false},       {"12a", false},
      {"0x10", false},       {"2147483648", false}, {"-2147483649", false}, {"$100000000", false},
      {"", false},           {"  ", false},         {"+", false},           {"$", false},
      {"\t5", false},        {"- 5", false},
  };
  for (const Case& c : cases) EXPECT_EQ(sockets::IsNumeric(c.text), c.numeric) << c.text;
}

TEST(TrimSet, StripsSetCharactersAtBothEnds) {
  struct Case {
    std::string chars, text, trimmed;
  };
  const Case cases[] = {
      {".", "..a.b..", "a.b"}, {" ", "  x y ", "x y"}, {"ab", "abba", ""},
      {"", " x ", " x "},      {".", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sockets::TrimSet(c.chars, c.text), c.trimmed) << c.chars << "|" << c.text;
  }
}

TEST(NextToken, CutsAtTheFirstDelimiter) {
  struct Case {
    std::string delimiters, source, token, rest;
  };
  const Case cases[] = {
      {".", "192.168.1.2", "192", "168.1.2"}, {".", "2", "2", ""},         {".", "", "", ""},
      {".", "..10..20.", "", "10..20"},       {".", "10..20", "10", "20"}, {" ,", "a, b", "a", "b"},
  };
  for (const Case& c : cases) {
    std::string source = c.source;
    std::string token = "old";
    sockets::NextToken(c.delimiters, source, token);
    EXPECT_EQ(token, c.token) << c.source;
    EXPECT_EQ(source, c.rest) << c.source;
  }
}

}  // namespace
}  // namespace sockets_test
