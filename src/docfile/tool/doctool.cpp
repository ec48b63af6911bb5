// doctool: looks into and makes Word 97-2003 documents from the command line.
//   doctool dump FILE.doc          prints the document as JSON
//   doctool make FILE.json OUT.doc writes a document from such JSON
#include "docfile/document.h"
#include "json.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace {

using namespace docfile;

json::Value toJson(const Paragraph& p)
{
    json::Array runs;
    for (const Run& r : p.runs)
        runs.push_back(json::Object{{"text", r.text}, {"font", r.font}, {"size", r.size}, {"bold", r.bold}});
    json::Object object{{"alignment", p.alignment}, {"firstLineIndent", p.firstLineIndent}, {"runs", std::move(runs)}};
    if (p.runs.empty())
        object.emplace("mark", json::Object{{"font", p.mark.font}, {"size", p.mark.size}, {"bold", p.mark.bold}});
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
                cells.push_back(json::Object{{"width", cell.width}, {"verticalAlignment", cell.verticalAlignment},
                                             {"paragraphs", std::move(paragraphs)}});
            }
            rows.push_back(json::Object{{"cells", std::move(cells)}});
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

Paragraph paragraphFrom(const json::Value& v)
{
    Paragraph p;
    p.alignment = integer(v, "alignment", p.alignment);
    p.firstLineIndent = integer(v, "firstLineIndent", p.firstLineIndent);
    if (const json::Value* runs = v.find("runs"))
        for (const json::Value& r : runs->array()) {
            Run run;
            if (const json::Value* t = r.find("text")) run.text = t->string();
            if (const json::Value* f = r.find("font")) run.font = f->string();
            if (const json::Value* s = r.find("size")) run.size = s->number();
            if (const json::Value* b = r.find("bold")) run.bold = b->boolean();
            p.runs.push_back(std::move(run));
        }
    if (const json::Value* m = v.find("mark")) {
        if (const json::Value* f = m->find("font")) p.mark.font = f->string();
        if (const json::Value* s = m->find("size")) p.mark.size = s->number();
        if (const json::Value* b = m->find("bold")) p.mark.bold = b->boolean();
    }
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
                    if (const json::Value* cells = r.find("cells"))
                        for (const json::Value& c : cells->array()) {
                            Cell cell;
                            cell.width = integer(c, "width", cell.width);
                            cell.verticalAlignment = integer(c, "verticalAlignment", cell.verticalAlignment);
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
    std::cerr << "usage: doctool dump FILE.doc\n"
                 "       doctool make FILE.json OUT.doc\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    const std::string command = argv[1];
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
            writeFile(documentFrom(json::parse(text)), argv[3]);
            return 0;
        }
    } catch (const std::exception& e) {
        std::cerr << "doctool: " << e.what() << '\n';
        return 1;
    }
    return usage();
}
