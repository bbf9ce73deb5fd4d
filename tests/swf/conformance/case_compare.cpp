#include "tests/swf/conformance/case_compare.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <regex>
#include <sstream>

namespace conformance {
namespace {

std::string trim(const std::string& s)
{
    std::size_t a = s.find_first_not_of(" \t\r");
    std::size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A TOML basic string's contents ("a\\d" → a\d).
std::string unquote(const std::string& s)
{
    std::string out;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '\\' && i + 2 < s.size()) {
            char next = s[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t end = line.find_last_not_of(" \t\r");
        lines.push_back(end == std::string::npos ? std::string() : line.substr(0, end + 1));
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

std::optional<double> whole_number(const std::string& s)
{
    if (s.empty())
        return std::nullopt;
    if (s == "NaN")
        return std::nan("");
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size())
        return std::nullopt;
    return v;
}

bool close_enough(double a, double b, double epsilon)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    if (a == b)
        return true;
    double diff = std::fabs(a - b);
    // An absolute tolerance, and the rounding of the last bit for large numbers.
    return diff <= epsilon || diff <= std::numeric_limits<double>::epsilon() * std::max(std::fabs(a), std::fabs(b));
}

bool pattern_match(const std::string& a, const std::string& b, const std::regex& re, double epsilon)
{
    std::sregex_iterator ia(a.begin(), a.end(), re), ib(b.begin(), b.end(), re), end;
    std::size_t pa = 0, pb = 0;
    bool any = false;
    for (; ia != end && ib != end; ++ia, ++ib) {
        const std::smatch& ma = *ia;
        const std::smatch& mb = *ib;
        if (a.compare(pa, std::size_t(ma.position(0)) - pa, b, pb, std::size_t(mb.position(0)) - pb) != 0)
            return false;
        std::string na = ma.size() > 1 ? ma.str(1) : ma.str(0);
        std::string nb = mb.size() > 1 ? mb.str(1) : mb.str(0);
        auto va = whole_number(na), vb = whole_number(nb);
        if (!va || !vb || !close_enough(*va, *vb, epsilon))
            return false;
        pa = std::size_t(ma.position(0) + ma.length(0));
        pb = std::size_t(mb.position(0) + mb.length(0));
        any = true;
    }
    return any && ia == end && ib == end && a.substr(pa) == b.substr(pb);
}

} // namespace

std::optional<CaseOptions> parse_case_options(const std::string& toml)
{
    CaseOptions options;
    bool have_count = false;
    std::string section;
    std::istringstream in(toml);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line.substr(0, line.find(" #")));
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            section = line;
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (section.empty() && (key == "num_frames" || key == "num_ticks")) {
            options.frames = std::atoi(value.c_str());
            have_count = true;
        } else if (section == "[approximations]") {
            if (key == "epsilon")
                options.epsilon = std::strtod(value.c_str(), nullptr);
            else if (key == "bare_numbers")
                options.bare_numbers = value == "true";
            else if (key == "number_patterns") {
                std::regex quoted(R"("(?:[^"\\]|\\.)*")");
                for (std::sregex_iterator it(value.begin(), value.end(), quoted), end; it != end; ++it)
                    options.number_patterns.push_back(unquote(it->str()));
            }
        }
    }
    if (!have_count)
        return std::nullopt;
    return options;
}

bool same_output(const std::string& actual, const std::string& expected, const CaseOptions& options, std::string* why)
{
    std::vector<std::string> a = split_lines(actual), e = split_lines(expected);
    std::vector<std::regex> patterns;
    for (const std::string& p : options.number_patterns)
        patterns.emplace_back(p);
    for (std::size_t i = 0; i < std::max(a.size(), e.size()); ++i) {
        if (i >= a.size() || i >= e.size()) {
            if (why)
                *why = "line " + std::to_string(i + 1) + ": " + (i >= a.size() ? "missing \"" + e[i] + "\"" : "extra \"" + a[i] + "\"");
            return false;
        }
        if (a[i] == e[i])
            continue;
        bool ok = false;
        if (options.bare_numbers) {
            auto va = whole_number(a[i]), ve = whole_number(e[i]);
            ok = va && ve && close_enough(*va, *ve, options.epsilon);
        }
        for (const std::regex& re : patterns)
            ok = ok || pattern_match(a[i], e[i], re, options.epsilon);
        if (!ok) {
            if (why)
                *why = "line " + std::to_string(i + 1) + ": \"" + a[i] + "\", expected \"" + e[i] + "\"";
            return false;
        }
    }
    return true;
}

} // namespace conformance
