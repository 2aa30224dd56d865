// Names as users type them: a misspelt name gets the likely one suggested,
// and an effect goes by a short name in any case.
#pragma once

#include <string>
#include <vector>

// The known name nearest to `word` (case aside, by edits of one character)
// when it is near enough to be a slip; "" otherwise.
std::string nearestName(const std::string& word, const std::vector<std::string>& known);

// "; did you mean NAME?" (NAME between `quote`s) for the nearest name, "" when none is near:
// the end of a refusal.
std::string didYouMean(const std::string& word, const std::vector<std::string>& known, const std::string& quote = "");

// A catalogue name as it may be shortened: lower case, without underscores,
// dashes or blanks, and without the catalogue's "Generic" prefix
// ("_GenericTranslateFromSpline" and "translate_from_spline" both give
// "translatefromspline").
std::string shortName(const std::string& name);
