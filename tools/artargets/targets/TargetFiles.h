// Reading and writing target files the way a host does: an annotation-set entry of the
// plug-in's family whose file name is the file, handed to the host's loader, which asks the
// plug-in's factory for its reader or writer; the message loop completes the load or save.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "targets/KeptContent.h"
#include "targets/TargetRecord.h"

namespace artargets {

class MappedFile;
class ScratchFolder;

// What becomes of the loaded targets once they are read out. A command that goes on to make
// and save targets lets them go at once: freed from another thread meanwhile, they would slow
// its allocations (a million targets: 0.9 s) more than they take to free (0.56 s). Any other
// command lets them go on a thread of its own while it works (see Background.h).
enum class LetGoOfTargets { kInBackground, kAtOnce };

// The file's targets into `records` (in no particular order). False, with why in `why` (the
// end of a sentence: "not well-formed XML at line 3, ..."), when the plug-in cannot load it.
// The file is read once: the plug-in says only that it failed, so the reason comes from
// watching the host parse the file for it. A path that is no regular file, or one too large,
// is refused before the plug-in is asked (see InputFile.h). "-" loads standard input.
// With `kept`, a command that rewrites the file also reads what the file holds beyond the targets
// (KeptContent.h): the frame into `kept`, each target's part onto its record.
bool LoadTargetFile(const std::string& path, std::vector<TargetRecord>& records, std::string& why,
                    LetGoOfTargets letGo = LetGoOfTargets::kInBackground,
                    KeptFrame* kept = nullptr);
// As LoadTargetFile with `kept` gives them, for a file laid out exactly as the plug-in writes it
// (PlainTargetText.h): its targets read straight from its text in one pass, in the file's
// order, with nothing more to keep. False, having read nothing, for any other file, which the
// plug-in must then load; a command that reads several large files saves the plug-in's
// conversions that way.
bool ReadPlainTargetFile(const std::string& path, std::vector<TargetRecord>& records);
// How many targets the plug-in loads from `path`, without reading them out; nothing, with why
// in `why`, when it cannot load the file.
std::optional<std::size_t> CountTargetFile(const std::string& path, std::string& why);

// Whether the file's first element is a target file's root, from its first bytes: a folder or a
// repository may hold other XML (build files, documents) that is not the tool's to judge or
// change, and a file of another kind is not one to write over (OutputGuard.h).
bool LooksLikeTargetFile(const std::string& path);
// What check and fmt say of such a file, which they skip.
inline constexpr char kNotATargetFileReason[] =
    "not a target file (its root is not <augmentedreality>); skipped";

// Writes `records` to `path`, replacing it; "-" writes the file's bytes to standard output. False,
// with the reason in `error`, when the file was not replaced; the previous file, if any, is then as
// it was.
bool SaveTargetFile(const std::string& path, const std::vector<TargetRecord>& records,
                    std::string& error);
// The text a save of `records` writes, made in a private folder; false, with why, when it
// cannot be made.
bool SavedText(const std::vector<TargetRecord>& records, std::string& text, std::string& error);

// The same text looked at where the save left it, without a copy (MappedFile.h), for as long
// as the object lives.
class SavedCopy {
 public:
  SavedCopy();
  ~SavedCopy();
  SavedCopy(const SavedCopy&) = delete;
  SavedCopy& operator=(const SavedCopy&) = delete;

  // Saves `records`; false, with why, when the text cannot be made.
  bool Make(const std::vector<TargetRecord>& records, std::string& error);
  std::string_view Text() const;

 private:
  std::unique_ptr<ScratchFolder> scratch_;
  std::unique_ptr<MappedFile> mapped_;
};

}  // namespace artargets
