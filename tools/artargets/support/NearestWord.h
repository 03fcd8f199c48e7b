// Did-you-mean: the word a person most likely meant when what they typed is not one the tool
// knows (a command, an option, a JSON or CSV key, a finding code). Case is not told apart, so
// that "Width" finds "width" and "art305" finds "ART305".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace artargets {

// Edits (insertions, deletions, replacements) from `a` to `b`, ignoring ASCII case.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The word of `known` fewest edits from `word`, if it is near enough to be a slip (one edit
// for a word of up to three letters, two for longer ones); empty otherwise.
std::string NearestWord(std::string_view word, const std::vector<std::string>& known);

// " (did you mean \"NEAREST\"?)", or empty when no word of `known` is near.
std::string DidYouMean(std::string_view word, const std::vector<std::string>& known);

}  // namespace artargets
