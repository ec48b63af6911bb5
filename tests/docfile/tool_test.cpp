// doctool: its JSON, and dump and make working together.
#include "json.h"
#include "samples.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace docfile;
using testutil::env;
using testutil::readText;

namespace {

std::pair<int, std::string> run(const std::string& command) { return testutil::run(command + " 2>&1"); }

json::Value withoutDropped(json::Value v)
{
    std::get<json::Object>(v.data).erase("dropped");
    return v;
}

} // namespace

TEST(Json, ReadsWhatItWrites)
{
    const json::Value v = json::Object{
        {"text", "午　休 \"quoted\" \\ tab\tnew\nline \x01"},
        {"numbers", json::Array{0, -12, 10.5, 1e-3}},
        {"flags", json::Array{true, false, json::Value()}},
        {"empty", json::Object{}},
    };
    EXPECT_EQ(json::parse(json::write(v)), v);
}

TEST(Json, ReadsEscapesAndRefusesBrokenInput)
{
    EXPECT_EQ(json::parse(R"("\u5348\u3000\u4f11 \ud83d\ude00 \/")").string(), "午　休 😀 /");
    EXPECT_EQ(json::parse(" [1, 2.5e1 ] ").array().at(1).number(), 25);
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "\"open", "tru", "1 2", "\"\\ud800\"", "{\"a\":01x}", "\"\x01\""})
        EXPECT_THROW(json::parse(bad), std::runtime_error) << bad;
    EXPECT_THROW(json::parse("[1]").object(), std::runtime_error);
}

TEST(Tool, MakesADocumentFromJsonAndDumpsItBack)
{
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    const std::string input = env("LUMETRA_DOCFILE_DATA") + "/timetable.json";
    const std::string doc = ::testing::TempDir() + "doctool-made.doc";
    auto [made, makeOut] = run("'" + doctool + "' make '" + input + "' '" + doc + "'");
    ASSERT_EQ(made, 0) << makeOut;
    auto [dumped, dump] = run("'" + doctool + "' dump '" + doc + "'");
    ASSERT_EQ(dumped, 0) << dump;
    const json::Value back = json::parse(dump);
    EXPECT_TRUE(back.find("dropped")->array().empty());
    EXPECT_EQ(withoutDropped(back), json::parse(readText(input)));
    std::remove(doc.c_str());
}

TEST(Tool, DumpOfALibraryFileMakesTheSameDocument)
{
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    const std::string base = ::testing::TempDir() + "doctool-";
    for (const Document& doc : {samples::mixedText(), samples::formattedTimetable()}) {
        writeFile(doc, base + "a.doc");
        auto [dumped, dump] = run("'" + doctool + "' dump '" + base + "a.doc' > '" + base + "a.json'");
        ASSERT_EQ(dumped, 0) << dump;
        auto [made, out] = run("'" + doctool + "' make '" + base + "a.json' '" + base + "b.doc'");
        ASSERT_EQ(made, 0) << out;
        EXPECT_TRUE(readFile(base + "b.doc") == doc);
    }
    // What the editor adds shows only where it is set.
    const json::Value dump = json::parse(run("'" + doctool + "' dump '" + base + "a.doc'").second);
    const json::Value& title = *dump.find("blocks")->array().at(0).find("paragraph");
    const json::Value& plain = title.find("runs")->array().at(0);
    const json::Value& term = title.find("runs")->array().at(1);
    EXPECT_EQ(plain.find("colour")->string(), "#C00000");
    EXPECT_EQ(plain.find("italic"), nullptr);
    EXPECT_TRUE(term.find("italic")->boolean());
    EXPECT_TRUE(term.find("underline")->boolean());
    const json::Value& rows = *dump.find("blocks")->array().at(2).find("table")->find("rows");
    EXPECT_EQ(rows.array().at(0).find("heightRule")->number(), 2);
    EXPECT_EQ(rows.array().at(0).find("height")->number(), 567);
    EXPECT_EQ(rows.array().at(1).find("cells")->array().at(1).find("verticalMerge")->number(), 1);
    EXPECT_EQ(rows.array().at(1).find("cells")->array().at(0).find("verticalMerge"), nullptr);
    for (const char* f : {"a.doc", "a.json", "b.doc"}) std::remove((base + f).c_str());
}

TEST(Tool, ExplainsWhatWentWrong)
{
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    EXPECT_EQ(run("'" + doctool + "'").first, 2);
    EXPECT_EQ(run("'" + doctool + "' dump").first, 2);
    const auto [status, out] = run("'" + doctool + "' dump /nonexistent.doc");
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("无法打开文件"), std::string::npos) << out;
    const std::string bad = ::testing::TempDir() + "doctool-bad.json";
    std::ofstream(bad) << R"({"blocks": [{"picture": {}}]})";
    const auto [badStatus, badOut] = run("'" + doctool + "' make '" + bad + "' /tmp/doctool-never.doc");
    EXPECT_EQ(badStatus, 1);
    EXPECT_NE(badOut.find("paragraph or a table"), std::string::npos) << badOut;
    std::ofstream(bad) << R"({"blocks": [{"paragraph": {"runs": [{"text": "x", "colour": "red"}]}}]})";
    const auto [colourStatus, colourOut] = run("'" + doctool + "' make '" + bad + "' /tmp/doctool-never.doc");
    EXPECT_EQ(colourStatus, 1);
    EXPECT_NE(colourOut.find("#RRGGBB"), std::string::npos) << colourOut;
    std::remove(bad.c_str());
}
