// The image fuzzer's PNG and JPEG writer (stb_image_write), compiled without coverage: it only
// makes inputs, and its branches would otherwise count as the fuzzer's progress.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb/stb_image_write.h"
