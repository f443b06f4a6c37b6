#include <zstd.h>
