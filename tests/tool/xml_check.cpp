#include "tests/tool/xml_check.h"

#include <cctype>
#include <regex>
#include <vector>

namespace zav::test {
namespace {

class XmlChecker {
public:
  explicit XmlChecker(const std::string& xml) : xml(xml) {}

  std::string check() {
    if (const std::string bad = encodingProblem(); !bad.empty()) {
      return bad;
    }
    if (xml.rfind("<?xml", 0) == 0) {
      at = xml.find("?>");
      if (at == std::string::npos) {
        return "unterminated XML declaration";
      }
      at += 2;
    }
    skipSpace();
    if (!element()) {
      return problem;
    }
    skipSpace();
    return at == xml.size() ? "" : failure("content after the root element");
  }

private:
  std::string failure(const std::string& what) {
    problem = what + " at byte " + std::to_string(at);
    return problem;
  }

  std::string encodingProblem() {
    for (std::size_t i = 0; i < xml.size();) {
      const auto byte = static_cast<unsigned char>(xml[i]);
      if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
        at = i;
        return failure("control character");
      }
      const std::size_t length = byte < 0x80    ? 1
                                 : byte >= 0xF0 ? 4
                                 : byte >= 0xE0 ? 3
                                 : byte >= 0xC2 ? 2
                                                : 0;
      if (length == 0 || i + length > xml.size()) {
        at = i;
        return failure("invalid UTF-8");
      }
      for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(xml[i + k]) & 0xC0) != 0x80) {
          at = i;
          return failure("invalid UTF-8");
        }
      }
      i += length;
    }
    return "";
  }

  void skipSpace() {
    while (at < xml.size() && std::isspace(static_cast<unsigned char>(xml[at]))) {
      ++at;
    }
  }

  std::string name() {
    const std::size_t begin = at;
    while (at < xml.size() && (std::isalnum(static_cast<unsigned char>(xml[at])) ||
                               xml[at] == '-' || xml[at] == ':' || xml[at] == '_')) {
      ++at;
    }
    return xml.substr(begin, at - begin);
  }

  bool reference() {
    static const std::regex entity("&(amp|lt|gt|quot|apos|#[0-9]+|#x[0-9A-Fa-f]+);");
    std::smatch match;
    const std::string rest = xml.substr(at, 12);
    if (!std::regex_search(rest, match, entity, std::regex_constants::match_continuous)) {
      failure("a bare '&'");
      return false;
    }
    at += static_cast<std::size_t>(match.length());
    return true;
  }

  bool attributes() {
    for (;;) {
      skipSpace();
      if (at >= xml.size() || xml[at] == '>' || xml[at] == '/') {
        return true;
      }
      if (name().empty() || at >= xml.size() || xml[at] != '=') {
        failure("a malformed attribute");
        return false;
      }
      ++at;
      if (at >= xml.size() || (xml[at] != '"' && xml[at] != '\'')) {
        failure("an unquoted attribute value");
        return false;
      }
      const char quote = xml[at++];
      while (at < xml.size() && xml[at] != quote) {
        if (xml[at] == '<') {
          failure("'<' in an attribute value");
          return false;
        }
        if (xml[at] == '&' ? !reference() : (++at, false)) {
          return false;
        }
      }
      if (at >= xml.size()) {
        failure("an unterminated attribute value");
        return false;
      }
      ++at;
    }
  }

  bool element() {
    if (at >= xml.size() || xml[at] != '<') {
      failure("no element");
      return false;
    }
    ++at;
    const std::string tag = name();
    if (tag.empty()) {
      failure("an element without a name");
      return false;
    }
    if (!attributes()) {
      return false;
    }
    if (xml.compare(at, 2, "/>") == 0) {
      at += 2;
      return true;
    }
    if (at >= xml.size() || xml[at] != '>') {
      failure("an unterminated start tag <" + tag + ">");
      return false;
    }
    ++at;
    for (;;) {
      if (at >= xml.size()) {
        failure("<" + tag + "> never closed");
        return false;
      }
      if (xml.compare(at, 2, "</") == 0) {
        at += 2;
        if (name() != tag || at >= xml.size() || xml[at] != '>') {
          failure("a wrong end tag for <" + tag + ">");
          return false;
        }
        ++at;
        return true;
      }
      if (xml[at] == '<') {
        if (!element()) {
          return false;
        }
      } else if (xml[at] == '&') {
        if (!reference()) {
          return false;
        }
      } else {
        ++at;
      }
    }
  }

  const std::string& xml;
  std::size_t at = 0;
  std::string problem;
};

} // namespace

std::string xmlProblem(const std::string& xml) { return XmlChecker(xml).check(); }

} // namespace zav::test
