// What a picture is worth as a target: decoded as a viewer shows it, its features, texture
// and sharpness, its score, the pictures that look alike, and the saved ratings.
//
// Where things are:
//   ImageQuality.h       the image score (RateImage) and what lowered it
//   ShownImage.h         the pixels as a viewer shows them, ready to be rated
//   GreyImage.h          the grey image every measure works on
//   SiftFeatures.h       keypoints and their strength (VLFeat's SIFT)
//   SurvivingFeatures.h  the features a tracker still finds when it sees the target small
//   TrackingRange.h      from how near to how far a print tracks, for a camera
//   ImageTexture.h       texture and sharpness from gradients
//   AppearanceHash.h     a perceptual hash: the same picture under another name
//   LookAlikes.h         different pictures a tracker could take for one another
//   RatingCache.h        saved ratings of unchanged images
//   ExifOrientation.h    which way up an image is meant to be shown
#pragma once
