// Plumbing that knows no targets: text made safe for a terminal, files read whole,
// scratch folders, progress lines, work on all cores or in the background, usage errors.
//
// Where things are:
//   SafeText.h       text from outside made safe to print (the one rule for it)
//   InputFile.h      files read whole, "-" as standard input, what is wrong with a path
//   MappedFile.h     a regular file's bytes mapped in, to look through without a copy
//   ScratchFolder.h  a private temporary folder that goes with its object
//   Progress.h       how far long work has got, on one terminal line
//   AllCores.h       one piece of work per index on every core
//   Background.h     work a command need not wait for
//   LargeWork.h      the allocator set up for large files (freed memory kept, huge pages)
//   Json.h           the JSON type every JSON output uses
//   JsonPieces.h     a large JSON document written a piece at a time
//   UsageError.h     what a person gave is not what the tool takes (exit status 2)
//   NearestWord.h    did-you-mean: the known word nearest to one mistyped
#pragma once
