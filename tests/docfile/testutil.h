// Small helpers the document tests share: running another program, reading
// a file, finding the corpus, the text of a paragraph, a cell or a table.
#pragma once

#include "docfile/document.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace testutil {

// Runs a shell command, giving its exit status and standard output.
inline std::pair<int, std::string> run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, out};
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

inline std::vector<unsigned char> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::filesystem::path& path)
{
    const std::vector<unsigned char> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The folder of real .doc files made by other programs.
inline std::filesystem::path corpusDir()
{
    const std::string dir = env("LUMETRA_CORPUS_DIR");
    return dir.empty() ? std::filesystem::path("../shared/corpus/doc") : std::filesystem::path(dir);
}

inline std::string paragraphText(const docfile::Paragraph& p)
{
    std::string s;
    for (const docfile::Run& r : p.runs) s += r.text;
    return s;
}

inline std::string cellText(const docfile::Cell& c)
{
    std::string s;
    for (const docfile::Paragraph& p : c.paragraphs) s += paragraphText(p);
    return s;
}

inline const docfile::Table* firstTable(const docfile::Document& doc)
{
    for (const docfile::Block& b : doc.blocks)
        if (const auto* t = std::get_if<docfile::Table>(&b)) return t;
    return nullptr;
}

} // namespace testutil
