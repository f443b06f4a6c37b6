#include "rawlog/raw_log.h"
