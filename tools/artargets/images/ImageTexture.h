// How much of an image carries texture and how sharp it is, from its gradients: two things a
// count of features misses. A photo with a large plain sky still has plenty of features in the
// rest, but a tracker that sees only the sky finds nothing; a blurred photo still has features
// at coarse scales, but they are few and soft once the target is seen small.
#pragma once

#include "images/GreyImage.h"

namespace artargets {

// The image cut into square cells, kTextureCells on its longer side.
inline constexpr int kTextureCells = 16;

// The share of the cells (0 to 1) where too few pixels change from their neighbours to give a
// tracker anything to hold.
double PlainShare(const GreyImage& image);

// How sharp the image's edges are, about 1 / (the width of an edge in pixels): the Laplacian's
// energy against the gradient's, over the pixels on an edge. It does not depend on contrast or on
// how much of the image is edges; a step blurred with a Gaussian of sigma s gives about 0.7 / s.
// 0 when the image has no edge at all.
double Sharpness(const GreyImage& image);

// The standard deviation of the grey levels, 0 to 255.
double Contrast(const GreyImage& image);

}  // namespace artargets
