#pragma once

#include <string>
#include <vector>

namespace fdpreserve {

/// The argument vector as the program sees it, element 0 being the program name. Where the
/// platform's runtime does not expand wildcards, an argument holding `*` or `?` that matches
/// existing paths is replaced by those paths, sorted; one that matches nothing stays as typed.
/// `[` and `]` are ordinary characters.
std::vector<std::string> expandArguments(int argumentCount, char** argumentVector);

}  // namespace fdpreserve
