// LibreOffice lays our tables out as wide as the model's cells say: a
// period label in a column the program's window fitted to it stays on one
// line when LibreOffice prints the file.
#include "samples.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

using namespace docfile;
namespace fs = std::filesystem;
using samples::cell;
using samples::paragraph;
using samples::run;

namespace {

const std::vector<std::string> kLabels{"第一节(07:50-08:35)", "第二节(08:45-09:30)", "第三节(10:00-10:45)",
                                       "第四节(10:55-11:40)", "第五节(14:00-14:45)", "第六节(14:55-15:40)",
                                       "第七节(15:50-16:35)", "第八节(16:50-17:50)"};

// The program's window pads each cell by 1.5 pt left and right and draws
// one-pixel (at 96 dpi, 15 twips) lines between cells: a column fitted to
// its contents is that much wider than its widest text.
constexpr std::int32_t kWindowPadding = 2 * 30 + 15;

// Converts the documents to PDF with LibreOffice in `dir`; false if it did not.
bool toPdf(const fs::path& dir, const std::vector<std::string>& names)
{
    std::string files;
    for (const std::string& n : names) files += " '" + (dir / (n + ".doc")).string() + "'";
    const std::string command = "HOME='" + (dir / "home").string() + "' timeout 300 soffice -env:UserInstallation=file://"
        + (dir / "profile").string() + " --headless --convert-to pdf --outdir '" + dir.string() + "'" + files + " 2>&1";
    // A first start with a new profile now and then ends without converting.
    for (int attempt = 0; attempt < 2; ++attempt) {
        testutil::run(command);
        if (std::all_of(names.begin(), names.end(), [&](const std::string& n) { return fs::exists(dir / (n + ".pdf")); }))
            return true;
    }
    return false;
}

// The widths, in points, of the words pdftotext finds on the pages.
std::map<std::string, double> wordWidths(const fs::path& pdf)
{
    const auto [status, out] = testutil::run("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null");
    std::map<std::string, double> widths;
    static const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(out.begin(), out.end(), word); it != std::sregex_iterator(); ++it)
        widths[(*it)[3]] = std::stod((*it)[2]) - std::stod((*it)[1]);
    return widths;
}

} // namespace

TEST(Layout, LibreOfficeKeepsPeriodLabelsOnOneLine)
{
    char pattern[] = "/tmp/docfile-layout-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    fs::create_directories(dir / "home");

    // How wide LibreOffice sets each label in 宋体 9 pt, on a line of its own.
    Document labels;
    labels.section = samples::timetablePage();
    for (const std::string& label : kLabels) labels.blocks.emplace_back(paragraph({run(label)}, 0));
    writeFile(labels, (dir / "labels.doc").string());
    ASSERT_TRUE(toPdf(dir, {"labels"})) << "LibreOffice did not convert the labels";
    const std::map<std::string, double> widths = wordWidths(dir / "labels.pdf");
    double widest = 0;
    for (const std::string& label : kLabels) {
        ASSERT_TRUE(widths.count(label)) << "no word " << label << " in the PDF";
        widest = std::max(widest, widths.at(label));
    }

    // The timetable with its first column as the window fits it to the labels.
    Document doc;
    doc.section = samples::timetablePage();
    doc.blocks.emplace_back(samples::title("课程表"));
    const std::int32_t first = static_cast<std::int32_t>(std::ceil(widest * 20)) + kWindowPadding;
    const std::int32_t day = (samples::textWidth(doc.section) - first) / 6;
    Table table;
    docfile::Row header{{cell("节次", first)}};
    for (int d = 0; d < 6; ++d) header.cells.push_back(cell(samples::weekdays()[static_cast<std::size_t>(d)], day));
    table.rows.push_back(header);
    for (std::size_t p = 0; p < kLabels.size(); ++p) {
        docfile::Row row{{cell(kLabels[p], first)}};
        for (int d = 0; d < 6; ++d) row.cells.push_back(cell(samples::subject(static_cast<int>(p), d), day));
        table.rows.push_back(row);
        if (p == 3) table.rows.push_back(docfile::Row{{cell("午　休", first + 6 * day)}});
    }
    doc.blocks.emplace_back(table);
    writeFile(doc, (dir / "timetable.doc").string());
    ASSERT_TRUE(toPdf(dir, {"timetable"})) << "LibreOffice did not convert the timetable";

    const auto [status, text] = testutil::run("pdftotext -layout '" + (dir / "timetable.pdf").string() + "' -");
    ASSERT_EQ(status, 0);
    for (const std::string& label : kLabels)
        EXPECT_NE(text.find(label), std::string::npos) << label << " is broken over lines in a column of " << first
                                                       << " twips:\n" << text;
    if (!std::getenv("LUMETRA_KEEP_TEST_FILES")) fs::remove_all(dir);
}
