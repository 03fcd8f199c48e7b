// The fuzz build's own copy of the stb decoding the rating of images uses, compiled with the
// sanitizers and coverage instead of linking libstb, so that the image fuzzer sees inside it.
#define STB_IMAGE_IMPLEMENTATION
#include "stb/stb_image.h"
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include "stb/stb_image_resize.h"
