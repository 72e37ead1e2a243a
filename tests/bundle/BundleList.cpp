#include "tests/bundle/BundleList.h"

#include <charconv>

namespace brelmont::bundle {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string::npos) {
            return fields;
        }
        start = bar + 1;
    }
}

// The value of `attribute="..."` in the element that starts at `from`, up to its end.
std::string AttributeBefore(const std::string& text, std::size_t from, std::size_t end,
                            const std::string& attribute) {
    const std::string key = " " + attribute + "=\"";
    const std::size_t at = text.find(key, from);
    if (at == std::string::npos || at > end) {
        return {};
    }
    const std::size_t start = at + key.size();
    return text.substr(start, text.find('"', start) - start);
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

std::optional<BundleEntry> ParseBundleLine(const std::string& raw) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    const std::vector<std::string> fields = Fields(line);
    if (fields.size() < 3 || fields[0].empty() || fields[1].empty()) {
        return std::nullopt;
    }
    BundleEntry entry{fields[0], fields[1], 0, {}};
    const auto [end, error] =
        std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), entry.seconds);
    if (error != std::errc() || end != fields[2].data() + fields[2].size() || entry.seconds <= 0) {
        return std::nullopt;
    }
    for (std::size_t at = 3; at < fields.size(); ++at) {
        const std::size_t equals = fields[at].find('=');
        if (equals == 0 || equals == std::string::npos) {
            return std::nullopt;
        }
        entry.environment.emplace_back(fields[at].substr(0, equals), fields[at].substr(equals + 1));
    }
    return entry;
}

namespace {

// Calls `visit(classname, name, body)` for each test case of a gtest JUnit report.
template <typename Visit>
void ForEachTestCase(const std::string& report, Visit visit) {
    std::size_t at = 0;
    while ((at = report.find("<testcase ", at)) != std::string::npos) {
        const std::size_t next = report.find("<testcase ", at + 1);
        const std::size_t end = next == std::string::npos ? report.size() : next;
        const std::size_t tagEnd = report.find('>', at);
        visit(AttributeBefore(report, at, tagEnd, "classname"),
              AttributeBefore(report, at, tagEnd, "name"), report.substr(at, end - at));
        at = end;
    }
}

}  // namespace

std::vector<std::string> SkippedTests(const std::string& report) {
    std::vector<std::string> skipped;
    ForEachTestCase(report, [&skipped](const std::string& suite, const std::string& test,
                                       const std::string& body) {
        const std::size_t skip = body.find("<skipped");
        if (skip == std::string::npos) {
            return;
        }
        std::string reason = AttributeBefore(body, skip, body.find('>', skip), "message");
        // The report keeps the skip's "file:line" and its reason on lines of their own.
        for (const auto& [entity, text] : {std::pair<std::string, std::string>{"&#x0A;", " "},
                                           {"&apos;", "'"},
                                           {"&quot;", "\""},
                                           {"&lt;", "<"},
                                           {"&gt;", ">"},
                                           {"&amp;", "&"}}) {
            for (std::size_t at = 0; (at = reason.find(entity, at)) != std::string::npos;
                 at += text.size()) {
                reason.replace(at, entity.size(), text);
            }
        }
        skipped.push_back(suite + "." + test + ": " + reason);
    });
    return skipped;
}

std::vector<std::string> FailedTests(const std::string& report) {
    std::vector<std::string> failed;
    ForEachTestCase(report, [&failed](const std::string& suite, const std::string& test,
                                      const std::string& body) {
        if (body.find("<failure") != std::string::npos) {
            failed.push_back(suite + "." + test);
        }
    });
    return failed;
}

std::string FailureReport(const std::string& name, const std::string& why) {
    const std::string quoted = Escaped(name);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"1\" failures=\"1\">\n"
           "  <testsuite name=\"" +
           quoted +
           "\" tests=\"1\" failures=\"1\">\n"
           "    <testcase name=\"" +
           quoted + "\" classname=\"" + quoted +
           "\">\n"
           "      <failure message=\"" +
           Escaped(why) +
           "\"/>\n"
           "    </testcase>\n  </testsuite>\n</testsuites>\n";
}

}  // namespace brelmont::bundle
