// The files the tool reads itself (JSON to import, images to rate) and the checks it makes
// before it hands a target file to the plug-in. "-" names standard input wherever a command
// reads a target file or JSON: it is read once, whole, and kept in a private copy for the
// rest of the run, so that a command that reads it twice (diff - -) sees the same bytes. A pipe
// or FIFO (process substitution's /dev/fd/63) is read the same way, once, as cat reads it, by
// the commands that only read (ReadablePath); a command that edits in place refuses it before
// it takes a lock (InputProblem), so that nothing waits on a writer while holding one. A device
// could never end and is refused, and so is a file larger than any target file, JSON or image
// can sensibly be.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace artargets {

// A million targets make a target file of about 850 MB and their JSON about as much.
constexpr std::uint64_t kMaxInputBytes = std::uint64_t{1} << 30;

// Why the file at `path` cannot be read as input, as the end of a sentence ("it is a FIFO,
// not a regular file", "No such file or directory"), or empty when it can. `missing`, when
// given, tells whether nothing at all is there (a dangling link counts as nothing).
std::string InputProblem(const std::string& path, bool* missing = nullptr);

// What a path that is no regular file is, for messages: "a folder", "a FIFO", "a socket", "a
// device", or "not a regular file".
const char* FileKind(mode_t mode);

// The whole file at `path` into `bytes`; false, with why as InputProblem says it, when it
// cannot be read.
bool ReadInputFile(const std::string& path, std::string& bytes, std::string& why);

// Whether `path` names standard input ("-"), and the name messages give it: "standard input"
// for "-", the path itself otherwise.
bool IsStandardStream(const std::string& path);
// Whether `path` is a pipe or FIFO (process substitution's /dev/fd/63), which only a read-only
// command reads.
bool IsPipe(const std::string& path);
std::string InputName(const std::string& path);

// A regular file holding what `path` names: `path` itself, or for "-" the private copy of
// standard input, or for a pipe or FIFO the private copy of what it gave. Empty, with why in
// `why`, when such a stream cannot be read or copied.
std::string ReadablePath(const std::string& path, std::string& why);

// The input `path` names (a file, or standard input for "-") into `bytes`; false, with why,
// when it cannot be read.
bool ReadInput(const std::string& path, std::string& bytes, std::string& why);

}  // namespace artargets
