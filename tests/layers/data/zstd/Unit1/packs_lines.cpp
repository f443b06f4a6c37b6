// A window source that compresses by itself.
#include <zstd.h>
