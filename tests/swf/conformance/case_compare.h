#pragma once

#include <optional>
#include <string>
#include <vector>

namespace conformance {

// What a case's test.toml asks for: how long to play, and where numbers may differ a little.
struct CaseOptions {
    int frames = 1;
    bool bare_numbers = false;             // a line that is only a number may be off by epsilon
    double epsilon = 0;
    std::vector<std::string> number_patterns; // regexes whose first group is a number that may be off
};

// Reads num_frames (or num_ticks) and the [approximations] table; nullopt if neither count
// is there.
std::optional<CaseOptions> parse_case_options(const std::string& toml);

// Whether `actual` prints what `expected` does: line by line, trailing white space ignored,
// numbers within the case's tolerance where it allows one. `why` names the first difference.
bool same_output(const std::string& actual, const std::string& expected, const CaseOptions& options, std::string* why);

} // namespace conformance
