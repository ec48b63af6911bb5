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
    const Document doc = samples::mixedText();
    writeFile(doc, base + "a.doc");
    auto [dumped, dump] = run("'" + doctool + "' dump '" + base + "a.doc' > '" + base + "a.json'");
    ASSERT_EQ(dumped, 0) << dump;
    auto [made, out] = run("'" + doctool + "' make '" + base + "a.json' '" + base + "b.doc'");
    ASSERT_EQ(made, 0) << out;
    EXPECT_TRUE(readFile(base + "b.doc") == doc);
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
    std::remove(bad.c_str());
}
