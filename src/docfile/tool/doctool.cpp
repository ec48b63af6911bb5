// doctool: looks into, makes and converts documents from the command line.
//   doctool dump FILE               prints a .doc or .docx as JSON
//   doctool make FILE.json OUT      writes a document from such JSON
//   doctool convert FILE OUT        writes a .doc or .docx in another format
//   doctool odt FILE OUT.odt        writes a document as OpenDocument text
//   doctool timetables ...          one timetable per class of a CSV table
//                                   (runs lumetra-timetables, a program of
//                                   its own: this tool has no word processor)
// The format written is the one OUT's extension names (.doc, .docx,
// .odt); what is read is told by its content.
#include "docfile/formats.h"
#include "json.h"

#include <cmath>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace {

using namespace docfile;

// Colours as "#RRGGBB"; automatic colour is left out.
std::string colourText(std::uint32_t colour)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    return buf;
}

std::uint32_t colourFrom(const json::Value& v)
{
    const std::string& s = v.string();
    const bool hex = s.size() == 7 && s[0] == '#'
        && s.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!hex) throw std::runtime_error("JSON: a colour must be \"#RRGGBB\"");
    return static_cast<std::uint32_t>(std::stoul(s.substr(1), nullptr, 16));
}

// The look of a run or a mark; slant, underline and colour only where set.
json::Object lookToJson(const Run& r)
{
    json::Object o{{"font", r.font}, {"size", r.size}, {"bold", r.bold}};
    if (r.italic) o.emplace("italic", true);
    if (r.underline) o.emplace("underline", true);
    if (r.colour != kAutomaticColour) o.emplace("colour", colourText(r.colour));
    return o;
}

json::Value toJson(const Paragraph& p)
{
    json::Array runs;
    for (const Run& r : p.runs) {
        json::Object run = lookToJson(r);
        run.emplace("text", r.text);
        runs.push_back(std::move(run));
    }
    json::Object object{{"alignment", p.alignment}, {"firstLineIndent", p.firstLineIndent}, {"runs", std::move(runs)}};
    if (p.runs.empty()) object.emplace("mark", lookToJson(p.mark));
    return object;
}

json::Value toJson(const Document& doc, const ReadReport& report)
{
    const Section& s = doc.section;
    json::Object section{{"pageWidth", s.pageWidth}, {"pageHeight", s.pageHeight},
                         {"marginTop", s.marginTop}, {"marginBottom", s.marginBottom},
                         {"marginLeft", s.marginLeft}, {"marginRight", s.marginRight},
                         {"headerDistance", s.headerDistance}, {"footerDistance", s.footerDistance},
                         {"verticalAlignment", s.verticalAlignment}};
    json::Array blocks;
    for (const Block& block : doc.blocks) {
        if (const auto* p = std::get_if<Paragraph>(&block)) {
            blocks.push_back(json::Object{{"paragraph", toJson(*p)}});
            continue;
        }
        json::Array rows;
        for (const Row& row : std::get<Table>(block).rows) {
            json::Array cells;
            for (const Cell& cell : row.cells) {
                json::Array paragraphs;
                for (const Paragraph& p : cell.paragraphs) paragraphs.push_back(toJson(p));
                json::Object c{{"width", cell.width}, {"verticalAlignment", cell.verticalAlignment},
                               {"paragraphs", std::move(paragraphs)}};
                if (cell.verticalMerge != 0) c.emplace("verticalMerge", cell.verticalMerge);
                cells.push_back(std::move(c));
            }
            json::Object r{{"cells", std::move(cells)}};
            if (row.heightRule != 0) {
                r.emplace("heightRule", row.heightRule);
                r.emplace("height", row.height);
            }
            rows.push_back(std::move(r));
        }
        blocks.push_back(json::Object{{"table", json::Object{{"cellMargin", std::get<Table>(block).cellMargin},
                                                             {"rows", std::move(rows)}}}});
    }
    json::Array dropped;
    for (const std::string& d : report.dropped) dropped.push_back(d);
    return json::Object{{"section", std::move(section)}, {"blocks", std::move(blocks)}, {"dropped", std::move(dropped)}};
}

// Members left out keep the model's defaults.
int integer(const json::Value& object, const char* key, int fallback)
{
    const json::Value* v = object.find(key);
    if (!v) return fallback;
    const double d = v->number();
    if (d != std::floor(d) || std::fabs(d) > 1e9) throw std::runtime_error(std::string("JSON: ") + key + " must be a whole number");
    return static_cast<int>(d);
}

void lookFrom(const json::Value& v, Run& run)
{
    if (const json::Value* f = v.find("font")) run.font = f->string();
    if (const json::Value* s = v.find("size")) run.size = s->number();
    if (const json::Value* b = v.find("bold")) run.bold = b->boolean();
    if (const json::Value* i = v.find("italic")) run.italic = i->boolean();
    if (const json::Value* u = v.find("underline")) run.underline = u->boolean();
    if (const json::Value* c = v.find("colour")) run.colour = colourFrom(*c);
}

Paragraph paragraphFrom(const json::Value& v)
{
    Paragraph p;
    p.alignment = integer(v, "alignment", p.alignment);
    p.firstLineIndent = integer(v, "firstLineIndent", p.firstLineIndent);
    if (const json::Value* runs = v.find("runs"))
        for (const json::Value& r : runs->array()) {
            Run run;
            if (const json::Value* t = r.find("text")) run.text = t->string();
            lookFrom(r, run);
            p.runs.push_back(std::move(run));
        }
    if (const json::Value* m = v.find("mark")) lookFrom(*m, p.mark);
    return p;
}

Document documentFrom(const json::Value& v)
{
    Document doc;
    if (const json::Value* s = v.find("section")) {
        Section& d = doc.section;
        d.pageWidth = integer(*s, "pageWidth", d.pageWidth);
        d.pageHeight = integer(*s, "pageHeight", d.pageHeight);
        d.marginTop = integer(*s, "marginTop", d.marginTop);
        d.marginBottom = integer(*s, "marginBottom", d.marginBottom);
        d.marginLeft = integer(*s, "marginLeft", d.marginLeft);
        d.marginRight = integer(*s, "marginRight", d.marginRight);
        d.headerDistance = integer(*s, "headerDistance", d.headerDistance);
        d.footerDistance = integer(*s, "footerDistance", d.footerDistance);
        d.verticalAlignment = integer(*s, "verticalAlignment", d.verticalAlignment);
    }
    if (const json::Value* blocks = v.find("blocks"))
        for (const json::Value& b : blocks->array()) {
            if (const json::Value* p = b.find("paragraph")) {
                doc.blocks.emplace_back(paragraphFrom(*p));
                continue;
            }
            const json::Value* t = b.find("table");
            if (!t) throw std::runtime_error("JSON: a block must be a paragraph or a table");
            Table table;
            table.cellMargin = integer(*t, "cellMargin", table.cellMargin);
            if (const json::Value* rows = t->find("rows"))
                for (const json::Value& r : rows->array()) {
                    Row row;
                    row.heightRule = integer(r, "heightRule", row.heightRule);
                    row.height = integer(r, "height", row.height);
                    if (const json::Value* cells = r.find("cells"))
                        for (const json::Value& c : cells->array()) {
                            Cell cell;
                            cell.width = integer(c, "width", cell.width);
                            cell.verticalAlignment = integer(c, "verticalAlignment", cell.verticalAlignment);
                            cell.verticalMerge = integer(c, "verticalMerge", cell.verticalMerge);
                            if (const json::Value* ps = c.find("paragraphs"))
                                for (const json::Value& p : ps->array()) cell.paragraphs.push_back(paragraphFrom(p));
                            row.cells.push_back(std::move(cell));
                        }
                    table.rows.push_back(std::move(row));
                }
            doc.blocks.emplace_back(std::move(table));
        }
    return doc;
}

int usage()
{
    std::cerr << "usage: doctool dump FILE\n"
                 "       doctool make FILE.json OUT.doc|OUT.docx|OUT.odt\n"
                 "       doctool convert FILE OUT.doc|OUT.docx|OUT.odt\n"
                 "       doctool odt FILE OUT.odt\n"
                 "       doctool timetables --from FILE.csv --out DIR [--periods M,A --days D --title T]\n";
    return 2;
}

Format targetFormat(const std::string& path)
{
    const std::optional<Format> format = formatForExtension(path);
    if (!format) throw std::runtime_error("cannot tell the format to write from the name " + path + " (use .doc, .docx or .odt)");
    return *format;
}

// Hands the timetables verb to lumetra-timetables: beside this tool in a
// build, in the helper folder when installed. Returns only on failure.
int runTimetables(char** argv)
{
#ifndef LUMETRA_HELPER_FROM_BIN
#define LUMETRA_HELPER_FROM_BIN "../libexec/lumetra"
#endif
    std::error_code error;
    const std::filesystem::path here = std::filesystem::canonical("/proc/self/exe", error).parent_path();
    for (const std::filesystem::path& helper : {here / "lumetra-timetables",
                                                here / LUMETRA_HELPER_FROM_BIN / "lumetra-timetables"}) {
        if (::access(helper.c_str(), X_OK) != 0) continue;
        argv[1] = const_cast<char*>(helper.c_str());
        ::execv(helper.c_str(), argv + 1);
        std::cerr << "doctool: cannot run " << helper << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    std::cerr << "doctool: lumetra-timetables is not installed beside this tool\n";
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "timetables") return runTimetables(argv);
    try {
        if (command == "dump" && argc == 3) {
            ReadReport report;
            const Document doc = readFile(argv[2], &report);
            std::cout << json::write(toJson(doc, report));
            return 0;
        }
        if (command == "make" && argc == 4) {
            std::ifstream in(argv[2], std::ios::binary);
            if (!in) throw std::runtime_error(std::string("cannot open ") + argv[2]);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            writeFile(documentFrom(json::parse(text)), argv[3], targetFormat(argv[3]));
            return 0;
        }
        if (command == "convert" && argc == 4) {
            writeFile(readFile(argv[2]), argv[3], targetFormat(argv[3]));
            return 0;
        }
        if (command == "odt" && argc == 4) {
            writeFile(readFile(argv[2]), argv[3], Format::OpenDocument);
            return 0;
        }
    } catch (const std::exception& e) {
        std::cerr << "doctool: " << e.what() << '\n';
        return 1;
    }
    return usage();
}
