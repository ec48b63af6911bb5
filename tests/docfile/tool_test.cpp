// doctool: its JSON, and dump and make working together.
#include "json.h"
#include "samples.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
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

TEST(Tool, MakesAndConvertsEveryFormatByTheTargetsName)
{
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    const std::string input = env("LUMETRA_DOCFILE_DATA") + "/timetable.json";
    const std::string base = ::testing::TempDir() + "doctool-formats-";
    const json::Value expected = json::parse(readText(input));
    for (const char* extension : {".doc", ".docx", ".DOCX"}) {
        SCOPED_TRACE(extension);
        const std::string made = base + "made" + extension;
        ASSERT_EQ(run("'" + doctool + "' make '" + input + "' '" + made + "'").first, 0);
        const auto [dumped, dump] = run("'" + doctool + "' dump '" + made + "'");
        ASSERT_EQ(dumped, 0) << dump;
        EXPECT_EQ(withoutDropped(json::parse(dump)), expected);
        // Each converted to the other formats reads back the same.
        for (const char* to : {".doc", ".docx"}) {
            const std::string converted = base + "converted" + to;
            ASSERT_EQ(run("'" + doctool + "' convert '" + made + "' '" + converted + "'").first, 0);
            EXPECT_EQ(withoutDropped(json::parse(run("'" + doctool + "' dump '" + converted + "'").second)), expected) << to;
            std::remove(converted.c_str());
        }
        std::remove(made.c_str());
    }
    ASSERT_EQ(run("'" + doctool + "' convert '" + input.substr(0, input.size() - 5) + ".json' '" + base + "x.odt'").first, 1);
    const std::string doc = base + "t.doc";
    ASSERT_EQ(run("'" + doctool + "' make '" + input + "' '" + doc + "'").first, 0);
    EXPECT_EQ(run("'" + doctool + "' convert '" + doc + "' '" + base + "t.odt'").first, 0);
    EXPECT_EQ(readText(base + "t.odt").rfind("PK", 0), 0u);
    const auto [unknown, why] = run("'" + doctool + "' make '" + input + "' '" + base + "t.rtf'");
    EXPECT_EQ(unknown, 1);
    EXPECT_NE(why.find("cannot tell the format"), std::string::npos) << why;
    for (const char* f : {"t.doc", "t.odt"}) std::remove((base + f).c_str());
}

TEST(Tool, AFailedWriteLeavesTheOldFileWhole)
{
    // The file grows past what the process may write (the shell's file
    // size limit, with the signal it sends ignored): writing fails half
    // way. The file that was there must still be there, as it was.
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    const std::string input = env("LUMETRA_DOCFILE_DATA") + "/timetable.json";
    for (const char* extension : {".doc", ".docx", ".odt"}) {
        SCOPED_TRACE(extension);
        const std::string target = ::testing::TempDir() + "doctool-kept" + extension;
        const std::string old = "the old file, which must survive";
        std::ofstream(target, std::ios::binary) << old;
        const auto [status, out] = run("bash -c \"trap '' XFSZ; ulimit -f 1; '" + doctool + "' make '" + input + "' '" + target + "'\"");
        EXPECT_EQ(status, 1) << out;
        EXPECT_NE(out.find("无法写入文件"), std::string::npos) << out;
        EXPECT_EQ(readText(target), old);
        std::remove(target.c_str());
    }
}

TEST(Tool, DumpMakeDumpIsTheIdentity)
{
    // Over the corpus and the sample models, in both formats read and
    // written: what a dump says, made into a file and dumped again, is
    // what it said.
    const std::string doctool = env("LUMETRA_DOCTOOL");
    ASSERT_FALSE(doctool.empty()) << "LUMETRA_DOCTOOL is not set";
    const std::string base = ::testing::TempDir() + "doctool-identity-";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(testutil::corpusDir()))
        if (entry.path().extension() == ".doc") files.push_back(entry.path().string());
    int i = 0;
    for (const Document& doc : {samples::defaultTimetable(), samples::formattedTimetable(), samples::mixedText(), samples::emptyTitle(),
                                samples::longCellTexts(), samples::landscapePage()}) {
        files.push_back(base + "sample" + std::to_string(i++) + ".doc");
        writeFile(doc, files.back());
    }
    std::size_t checked = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const auto [status, first] = run("'" + doctool + "' dump '" + file + "' 2>/dev/null");
        if (status != 0) continue;  // refused: nothing to compare
        std::ofstream(base + "first.json") << first;
        for (const char* extension : {".doc", ".docx"}) {
            const std::string made = base + "made" + extension;
            ASSERT_EQ(run("'" + doctool + "' make '" + base + "first.json' '" + made + "'").first, 0) << extension;
            const auto [again, second] = run("'" + doctool + "' dump '" + made + "'");
            ASSERT_EQ(again, 0) << second;
            EXPECT_EQ(withoutDropped(json::parse(second)), withoutDropped(json::parse(first))) << extension;
            std::remove(made.c_str());
        }
        ++checked;
    }
    EXPECT_GT(checked, 15u);
    for (std::size_t k = 0; k < 6; ++k) std::remove((base + "sample" + std::to_string(k) + ".doc").c_str());
    std::remove((base + "first.json").c_str());
}
