#pragma once

#include <string>

namespace fdpreserve::testing {

/// How an output file ends after each verdict: a line end, then the phrase in ISO 8859-2
/// (ü = FC, ő = F5, é = E9), with nothing after it.
inline const std::string kPreservingEnd = "\r\nf\xFCgg\xF5s\xE9g\xF5rz\xF5";
inline const std::string kNotPreservingEnd = "\r\nnem f\xFCgg\xF5s\xE9g\xF5rz\xF5";

}  // namespace fdpreserve::testing
