// Targets as AR platforms' reference image libraries: ARKit, ARCore, Unity AR Foundation and
// Vuforia, each written as a folder of files (with a manifest of the poses) and read back.
//
// Where things are:
//   Platforms.h          the platforms, their limits, export and import of a library
//   PlatformLibraries.h  each platform's writer and reader (ArkitLibrary.cpp, ...)
//   LibraryFiles.h       what the writers and readers share: pictures, names, sizes
//   ExportManifest.h     the manifest of the targets' poses beside a library
//   UnityGuid.h          Unity's guids and YAML scalars
#pragma once
