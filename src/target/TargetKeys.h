// The interned words of a saved target (their texts are ar/TargetFileKeys.h), built once at
// library load with every other static object (component/LibraryStatics.cpp): the content
// element "arcontent" and the thirteen property keys of a saved target.
#pragma once

#include "du/Symbol.h"

namespace ar::names {

extern const du::Symbol kArContent;

extern const du::Symbol kTargetVersion;
extern const du::Symbol kTargetName;
extern const du::Symbol kTargetImage;
extern const du::Symbol kTargetWidth;
extern const du::Symbol kTargetHeight;
extern const du::Symbol kTargetType;
extern const du::Symbol kTargetId;
extern const du::Symbol kTargetCenter;
extern const du::Symbol kTargetShape;
extern const du::Symbol kTargetNormal;
extern const du::Symbol kTargetXDir;
extern const du::Symbol kTargetYDir;
extern const du::Symbol kTargetRotation;

}  // namespace ar::names
