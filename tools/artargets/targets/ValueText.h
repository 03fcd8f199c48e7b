// How the tool prints values for people: numbers in the shortest form that reads back exactly
// ("0.1", "-0", "inf", "nan"), vectors as "[x, y, z]".
#pragma once

#include <string>

#include "targets/TargetRecord.h"

namespace artargets {

// Text from a file or a person made safe for a terminal (see SafeText.h), with quotes and
// backslashes escaped too, as in JSON. Every
// name, image, shape, key or other piece of a file that the tool prints goes through it.
std::string Escaped(const std::string& text);
// Escaped(text) in double quotes.
std::string Quoted(const std::string& text);
void AppendQuoted(std::string& out, const std::string& text);

std::string NumberText(double value);
void AppendNumber(std::string& out, double value);
std::string VectorText(const Vec3& v);
void AppendVector(std::string& out, const Vec3& v);

// A number (exact; "nan", "inf" and "-inf" included) or a whole number within `range` from
// text; throws UsageError beginning with `label` ("--type: ...") for text that is neither.
double ParseNumber(const std::string& label, const std::string& text);
long long ParseWhole(const std::string& label, const std::string& text, WholeRange range);

}  // namespace artargets
