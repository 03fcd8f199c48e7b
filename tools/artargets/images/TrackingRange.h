// How far a printed target tracks: the range of camera distances between the nearest, where the
// whole target still fits the camera's frame, and the farthest, where it shrinks under the least
// on-screen width at which it keeps enough distinctive features (ImageQuality::smallestWidth).
// A pinhole camera: a target W metres wide at D metres is W / D times the focal length wide on
// screen, the focal length being half the frame's width over the tangent of half its field of
// view.
#pragma once

namespace artargets {

// A phone's tracking frames: ARCore and ARKit track on frames of about 640 x 480 pixels from a
// main camera whose field of view is about 60 degrees across.
struct Camera {
  int width = 640, height = 480;  // pixels of the frames it tracks on
  double fieldOfView = 60;        // degrees, across the frame's width
};

struct TrackingRange {
  bool tracks = false;               // false: too few features at any distance, or a size unknown
  double nearest = 0, farthest = 0;  // metres
};

// The focal length in pixels.
double FocalPixels(const Camera& camera);

// The range of a target `width` x `height` metres whose picture keeps enough features from
// `smallestWidth` on-screen pixels (0: at none).
TrackingRange RangeOf(double smallestWidth, double width, double height, const Camera& camera);

// The least printed width, in metres, at which a target of `width` metres with that range reaches
// `distance` metres (the far limit grows with the print). 0 when it tracks at no distance.
double WidthToReach(const TrackingRange& range, double width, double distance);

}  // namespace artargets
