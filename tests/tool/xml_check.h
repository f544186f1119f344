// A small well-formedness check for the XML the tool writes: one root element,
// tags nested and closed, attribute values quoted, '&' only in references, no
// control characters, and valid UTF-8 throughout.
#pragma once

#include <string>

namespace zav::test {

// "" when `xml` is well formed; otherwise what is wrong and where.
std::string xmlProblem(const std::string& xml);

} // namespace zav::test
