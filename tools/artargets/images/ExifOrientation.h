// Which way up a JPEG or PNG is meant to be shown: the orientation tag (1 to 8) of the Exif data
// a camera writes into the file (a JPEG's APP1 segment, a PNG's eXIf chunk). A phone stores a
// portrait photo as landscape pixels tagged "turn 90 degrees", and every viewer shows it turned,
// so the tool rates and measures it turned too.
#pragma once

#include <string_view>

namespace artargets {

// 1 when there is no tag, or it is damaged or out of range.
int ExifOrientation(std::string_view bytes);

// Whether an orientation swaps the image's width and height (5 to 8 turn it a quarter).
inline bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace artargets
