#pragma once
// Option values that may not be empty. The parser takes an empty value
// after "=" ("--listing=") as no value at all and then the next argument in
// its place, so that "--listing=$(LST) $(SRCS)" with LST empty would write
// the listing over the first source. Such a call is refused before the
// parser sees it.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

// The complaint about the first option in `args` (the arguments in their
// order, before any rewriting) whose value is empty: "--NAME=" or "--NAME ''",
// "-X ''" for an option that takes a value; "" when there is none. Nothing
// after "--" is an option.
std::string EmptyOptionValue(const CLI::App& app, const std::vector<std::string>& args);

}  // namespace cli
