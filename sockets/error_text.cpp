// The error catalogue and its look-up. The texts are the system's own, spelling
// included: programs and users match on them.
#include "sockets/error_text.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "sockets/text_helpers.h"

namespace sockets {
namespace {

constexpr std::pair<int, std::string_view> kCatalogue[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation, already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Net dropped connection or reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references, can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No Route to Host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc Quota Exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network SubSystem is unavailable"},
    {10092, "WINSOCK DLL Version out of range"},
    {10093, "Successful WSASTARTUP not yet performed"},
    {10101, "Socket Disconnected"},
    {11001, "Host not found"},
    {11002, "Non-Authoritative Host not found"},
    {11003, "Non-Recoverable errors: FORMERR, REFUSED, NOTIMP"},
    {11004, "Valid name, no data record of requested type"},
    {20001, "Error %d (%s) finding address for host"},
    {20002, "Error %d (%s) calling WSAAsyncGetHostByAddr"},
    {20003, "Error %d (%s) calling WSAAsyncGetHostByName"},
    {20004, "Error %d (%s) calling WSAAsyncGetServByName"},
    {20005, "Error %d (%s) calling WSAAsyncGetServByPort"},
    {20006, "Error %d (%s) finding host for address"},
    {20007, "Error %d (%s) Binding Socket"},
    {20008, "Error %d (%s) connecting"},
    {20009, "Error %d (%s) creating new socket"},
    {20010, "Error %d (%s) calling getpeername"},
    {20011, "Error %d (%s) calling getsockname"},
    {20012, "Error %d (%s) getting # of bytes in Receive Buffer"},
    {20013, "Error %d (%s) listining"},
    {20014, "Error %d (%s) recieving"},
    {20015, "Error %d (%s) sending"},
    {20016, "Error %d (%s) starting up WinSock"},
    {20017, "No address specified"},
    {20018, "Socket not open"},
    {20019, "Can't do reverse lookup on address 0.0.0.0"},
    {20020, "Socket Already opened"},
    {20021, "Datagram exceeds Winsock's max UDP packet size"},
    {20022, "Winsock DLL Already Loaded, Cannot change name"},
    {20023, "Invalid type for a Stream socket"},
    {20024, "Invalid type for a Datagram socket"},
    {20025, "Error %d (%s) peeking"},
    {20026, "No Socket Class Defined"},
    {20027, "Error %d (%s) calling WSAAsyncGetAddrInfo"},
    {20028, "The address is neither an IPv4 nor an IPv6 address nor a host name"},
    {20029, "The host has no IPv4 address"},
    {20030, "The host has no IPv6 address"},
};

}  // namespace

std::string ErrorText(int code) {
  if (code == 0) return {};
  const auto* entry = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                   [code](const auto& item) { return item.first == code; });
  if (entry == std::end(kCatalogue)) return ShortString(Format("Unknown Error %d", {code}));
  return ShortString(entry->second);
}

}  // namespace sockets
