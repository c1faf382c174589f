#pragma once
// Reading all of standard input, for a SOURCE or an image given as "-".
#include <cstdio>
#include <string>

namespace cli {

// Appends everything `in` holds to `bytes`. On a read error returns false
// and sets errnum.
bool ReadStandardInput(std::FILE* in, std::string& bytes, int& errnum);

}  // namespace cli
