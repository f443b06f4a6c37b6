// An engine source that reaches sideways into the raw log.
#include "rawlog/raw_log.h"
