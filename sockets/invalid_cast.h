// Checked conversions between classes: a conversion to a class the object does
// not belong to raises EInvalidCast.
#pragma once

#include "sockets/exceptions.h"

namespace sockets {

class EInvalidCast : public Exception {
 public:
  using Exception::Exception;
};

template <typename Target, typename Source>
Target& CheckedCast(Source& object) {
  if (auto* target = dynamic_cast<Target*>(&object)) return *target;
  throw EInvalidCast("Invalid class conversion");
}

}  // namespace sockets
