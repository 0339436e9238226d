// The pack-contents report as a file: where reports live, how a character's report is
// named, and reading one back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kReportFolder = "c:\\ToonPacks\\";
inline constexpr std::string_view kReportHeading = "Pack contents for ";

// The character's name as a file name that stays inside the report folder: no path
// separators, no characters Windows forbids, and never "." or "..".
std::string ReportFileName(std::string name);

// A name a report lists that contains the text looked for, and how many of its lines
// list it.
struct ReportHit {
    std::string name;
    int listed = 0;
    friend bool operator==(const ReportHit&, const ReportHit&) = default;
};

struct ReportScan {
    std::string character;
    std::vector<ReportHit> hits;  // in the order the report first lists each name
};

// Reads a report as "@tk wc" writes it: the heading line, then one name a line, lines
// ending in CR LF or LF. The character's own line, which follows the heading, is no hit.
// Nothing when the contents are no report: no heading, or bytes no text file holds.
std::optional<ReportScan> ScanPackReport(std::string_view contents, std::string_view text);
