// Saved image ratings, so that checking unchanged images again costs little more than reading
// them. An entry is a whole ImageQuality as JSON, in a file named after the image's content
// hash and kRatingVersion, under $XDG_CACHE_HOME/artargets (else ~/.cache/artargets): a new
// rating version never meets an old entry. Entries are written to a temporary file and renamed,
// so that a reader sees a whole entry or none; an entry that does not parse, or holds another
// key, is not trusted: it is rated again and replaced. Thread rules: Find and Store may run on
// any number of threads at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "images/ImageQuality.h"

namespace artargets {

class RatingCache {
 public:
  // The cache in its usual folder; empty (nothing found, nothing stored) when there is no home.
  static RatingCache Usual();
  explicit RatingCache(std::string folder) : folder_(std::move(folder)) {}

  // The saved rating of the content of that hash, when there is a sound one.
  std::optional<ImageQuality> Find(std::uint64_t hash) const;
  // Saves a rating; a failure to save is not an error (the next run rates again).
  void Store(std::uint64_t hash, const ImageQuality& quality) const;

  const std::string& Folder() const { return folder_; }

 private:
  std::string EntryPath(std::uint64_t hash) const;

  std::string folder_;
};

}  // namespace artargets
