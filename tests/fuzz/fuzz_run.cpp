// The whole input side and the report over arbitrary input. Checks, besides
// the sanitizers' own: every prompt written once and in order, the report's
// fixed number of lines for its horizontal case, every number rendered in the
// six-digit form (or 1.#INF, -1.#INF, -1.#IND), unit words no longer than
// their field, valid UTF-8 whenever the input was.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/beam.h"
#include "analysis/number_format.h"
#include "analysis/report.h"
#include "app/input.h"
#include "app/run.h"
#include "tests/fuzz/require.h"

namespace {

bool isValidUtf8(const std::uint8_t* s, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t c = s[i];
    std::size_t more = 0;
    std::uint32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      code = c & 0x07;
    } else
      return false;
    for (std::size_t k = 1; k <= more; ++k) {
      if (i + k >= n || (s[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (s[i + k] & 0x3F);
    }
    if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (more == 3 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    i += more + 1;
  }
  return true;
}

// A rendered number: fixed form with at most kSignificantDigits significant
// digits and no trailing zeros after a point, or d[.ddddd]e±ddd, or a
// special value.
const std::regex& numberShape() {
  static const std::regex shape = [] {
    const std::string most = std::to_string(beam::kSignificantDigits - 1);
    const std::string fewer = std::to_string(beam::kSignificantDigits - 2);
    return std::regex("-?(0|[1-9][0-9]{0," + most + "}|[1-9][0-9]{0," + fewer +
                      "}\\.[0-9]*[1-9]|0\\.0{0,3}[1-9][0-9]{0," + most + "})|-?[1-9](\\.[0-9]{0," +
                      fewer + "}[1-9])?e[+-][0-9]{3}|1\\.#INF|-1\\.#INF|-1\\.#IND");
  }();
  return shape;
}

bool significantDigitsAtMostAsMany(const std::string& token) {
  int digits = 0;
  bool started = false;
  for (char c : token) {
    if (c == 'e') break;
    if (c >= '1' && c <= '9') started = true;
    if (started && c >= '0' && c <= '9') ++digits;
  }
  return digits <= beam::kSignificantDigits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  beam::TextSource input(std::string_view(reinterpret_cast<const char*>(data), size));
  beam::InputReader reader(input);
  beam::Output out(nullptr);  // gathers the text
  const beam::BeamProblem problem = beam::readBeamProblem(reader, out);

  std::string prompts;
  for (const char* p : beam::kPrompts) prompts += p;
  require(out.text == prompts, "the seven prompts, each once, in order");

  const beam::UnitWord* units[] = {&problem.weightUnit, &problem.forceUnit, &problem.lengthUnit};
  const bool utf8Input = isValidUtf8(data, size);
  for (const beam::UnitWord* unit : units) {
    const std::string_view word = unit->view();
    require(word.size() <= beam::UnitWord::kCapacity, "unit word no longer than its field");
    require(
        !utf8Input || isValidUtf8(reinterpret_cast<const std::uint8_t*>(word.data()), word.size()),
        "unit word valid UTF-8 when the input was");
  }

  beam::printReport(problem, out.text);
  const std::string report = out.text.substr(prompts.size());
  std::vector<std::string> lines;
  std::istringstream split(report);
  for (std::string line; std::getline(split, line);) lines.push_back(line);
  const std::size_t expected =
      beam::kVerticalReportLines +
      beam::horizontalCaseLines(beam::classifyHorizontalCase(problem.Ax, problem.Bx)) + 1;
  require(lines.size() == expected, "fixed number of report lines for the case");
  require(!report.empty() && report.back() == '\n', "report ends with a line end");
  require(lines.back() == "Press Any Key To Continue", "closing line last");

  // Every blank-separated token that looks numeric and is neither a unit
  // word nor one of the report's literals ("-1", "0.00") must be a rendering.
  for (const std::string& line : lines) {
    std::istringstream tokens(line);
    const auto isUnit = [&](const std::string& token) {
      for (const beam::UnitWord* unit : units) {
        if (unit->view() == token) return true;
      }
      return false;
    };
    for (std::string token; tokens >> token;) {
      // A unit stands alone, or just before the "," of "0.00 unit, And".
      if (isUnit(token)) continue;
      if (!token.empty() && token.back() == ',') token.pop_back();
      if (isUnit(token)) continue;
      // A number stands alone, after "=>", or just before a ",".
      if (token.rfind("=>", 0) == 0) token.erase(0, 2);
      const bool numeric =
          !token.empty() &&
          ((token[0] >= '0' && token[0] <= '9') ||
           (token[0] == '-' && token.size() > 1 && token[1] >= '0' && token[1] <= '9'));
      if (!numeric || token == "-1" || token == "0.00") continue;
      require(std::regex_match(token, numberShape()) && significantDigitsAtMostAsMany(token),
              "every number in six-digit form");
    }
  }
  return 0;
}
