// The pictures the image benchmarks rate: a grey JPEG of blobs and squares of many sizes and
// greys, placed at random from `seed`, so that each seed gives a distinct, textured picture.
#pragma once

#include <string>

namespace arbench {

void WriteSyntheticPhoto(const std::string& path, int width, int height, unsigned seed);

}  // namespace arbench
