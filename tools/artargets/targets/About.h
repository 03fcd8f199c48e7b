// A target as the tool sees it: a plain record of its twelve fields, the table of those
// fields, comparing and ordering records, values as text, and the target files they live in.
//
// Where things are:
//   TargetRecord.h      the record, copied out of and into the plug-in's targets
//   TargetFields.h      the field table: key, option, placeholder and range of each field
//   TargetComparison.h  same values bit for bit; the name-then-id order of every listing
//   ValueText.h         numbers and vectors as text, and read back exactly from text
//   PartialTarget.h     some of a target's fields, as an import row or the options give them
//   TargetFiles.h       loading and saving target files as a host does
//   KeptContent.h       what a file holds beyond its targets, kept through every edit
//   PlainTargetText.h   whether a file's text holds nothing beyond what the plug-in writes,
//                       and such a file's targets read in one pass (merge reads its sides so)
//   TargetElement.h     one target's XML element as the plug-in reads it
//   ConflictMarkers.h   git's conflict markers in a file that does not load
//   PictureFrame.h      where a target's picture stands in the model: its frame, which
//                       render, the report and the platforms' exports share
//   Units.h             the unit of a file's lengths
#pragma once
