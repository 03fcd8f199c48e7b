// `artargets explain [CODE]`: what a finding code means, why it matters, how to fix it and an
// example, from the table of codes (checks/FindingCodes.h); without a code, the list of codes.
#pragma once

#include <string>

namespace artargets {

// Prints the code's explanation, or every code with its severity and title when `code` is
// empty. A code the table lacks is named with the nearest code and the list (exit status 2).
int Explain(const std::string& code);

}  // namespace artargets
