// Target files in version control: which target is which across files, what differs
// (diff), the three-way merge and the canonical order of the files the tool writes.
//
// Where things are:
//   Identity.h        which target of one file is which of another
//   Diff.h            what diff finds, as text, JSON or a summary
//   ThreeWay.h        the three-way merge and its conflicts
//   CanonicalOrder.h  the canonical form of written files
#pragma once
