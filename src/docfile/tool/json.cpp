#include "json.h"

#include <cmath>
#include <cstdio>

namespace json {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    Value document()
    {
        Value v = value(0);
        space();
        if (i_ != s_.size()) error("unexpected text after the value");
        return v;
    }

private:
    [[noreturn]] void error(const std::string& what) const { fail("JSON: " + what + " at byte " + std::to_string(i_)); }

    void space()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
    }
    bool take(char c)
    {
        space();
        if (i_ < s_.size() && s_[i_] == c) { ++i_; return true; }
        return false;
    }
    void expect(char c) { if (!take(c)) error(std::string("expected '") + c + "'"); }
    bool word(std::string_view w)
    {
        if (s_.substr(i_, w.size()) != w) return false;
        i_ += w.size();
        return true;
    }

    Value value(int depth)
    {
        if (depth > 64) error("nesting too deep");
        space();
        if (i_ >= s_.size()) error("unexpected end");
        const char c = s_[i_];
        if (c == '{') {
            ++i_;
            Object o;
            if (take('}')) return o;
            do {
                space();
                std::string key = string();
                expect(':');
                o[std::move(key)] = value(depth + 1);
            } while (take(','));
            expect('}');
            return o;
        }
        if (c == '[') {
            ++i_;
            Array a;
            if (take(']')) return a;
            do a.push_back(value(depth + 1)); while (take(','));
            expect(']');
            return a;
        }
        if (c == '"') return string();
        if (word("true")) return true;
        if (word("false")) return false;
        if (word("null")) return Value();
        return number();
    }

    Value number()
    {
        const std::size_t start = i_;
        while (i_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos) ++i_;
        const std::string text(s_.substr(start, i_ - start));
        char* end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(d)) error("bad number");
        return d;
    }

    unsigned hex4()
    {
        if (i_ + 4 > s_.size()) error("short \\u escape");
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = s_[i_++];
            v <<= 4;
            if (h >= '0' && h <= '9') v |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f') v |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') v |= static_cast<unsigned>(h - 'A' + 10);
            else error("bad \\u escape");
        }
        return v;
    }

    static void utf8(std::string& out, unsigned c)
    {
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0x800) { out += static_cast<char>(0xC0 | (c >> 6)); out += static_cast<char>(0x80 | (c & 0x3F)); }
        else if (c < 0x10000) { out += static_cast<char>(0xE0 | (c >> 12)); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
        else { out += static_cast<char>(0xF0 | (c >> 18)); out += static_cast<char>(0x80 | ((c >> 12) & 0x3F)); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
    }

    std::string string()
    {
        if (i_ >= s_.size() || s_[i_] != '"') error("expected a string");
        ++i_;
        std::string out;
        for (;;) {
            if (i_ >= s_.size()) error("unterminated string");
            const char c = s_[i_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) error("control character in string");
            if (c != '\\') { out += c; continue; }
            if (i_ >= s_.size()) error("unterminated string");
            const char e = s_[i_++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned c1 = hex4();
                if (c1 >= 0xD800 && c1 <= 0xDBFF && s_.substr(i_, 2) == "\\u") {
                    i_ += 2;
                    const unsigned c2 = hex4();
                    if (c2 < 0xDC00 || c2 > 0xDFFF) error("bad surrogate pair");
                    c1 = 0x10000 + ((c1 - 0xD800) << 10) + (c2 - 0xDC00);
                } else if (c1 >= 0xD800 && c1 <= 0xDFFF) {
                    error("unpaired surrogate");
                }
                utf8(out, c1);
                break;
            }
            default: error("bad escape");
            }
        }
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

void writeString(std::string& out, const std::string& s)
{
    out += '"';
    for (const char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void writeValue(std::string& out, const Value& v, int indent)
{
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    if (std::holds_alternative<std::nullptr_t>(v.data)) out += "null";
    else if (const bool* b = std::get_if<bool>(&v.data)) out += *b ? "true" : "false";
    else if (const double* d = std::get_if<double>(&v.data)) {
        char buf[32];
        if (*d == std::floor(*d) && std::fabs(*d) < 1e15) std::snprintf(buf, sizeof buf, "%.0f", *d);
        else std::snprintf(buf, sizeof buf, "%.17g", *d);
        out += buf;
    } else if (const std::string* s = std::get_if<std::string>(&v.data)) writeString(out, *s);
    else if (const Array* a = std::get_if<Array>(&v.data)) {
        if (a->empty()) { out += "[]"; return; }
        out += "[\n";
        for (std::size_t k = 0; k < a->size(); ++k) {
            out += pad;
            writeValue(out, (*a)[k], indent + 2);
            out += k + 1 < a->size() ? ",\n" : "\n";
        }
        out += std::string(static_cast<std::size_t>(indent), ' ') + "]";
    } else {
        const Object& o = std::get<Object>(v.data);
        if (o.empty()) { out += "{}"; return; }
        out += "{\n";
        std::size_t k = 0;
        for (const auto& [key, member] : o) {
            out += pad;
            writeString(out, key);
            out += ": ";
            writeValue(out, member, indent + 2);
            out += ++k < o.size() ? ",\n" : "\n";
        }
        out += std::string(static_cast<std::size_t>(indent), ' ') + "}";
    }
}

} // namespace

const Object& Value::object() const
{
    if (const auto* o = std::get_if<Object>(&data)) return *o;
    fail("JSON: expected an object");
}
const Array& Value::array() const
{
    if (const auto* a = std::get_if<Array>(&data)) return *a;
    fail("JSON: expected an array");
}
const std::string& Value::string() const
{
    if (const auto* s = std::get_if<std::string>(&data)) return *s;
    fail("JSON: expected a string");
}
double Value::number() const
{
    if (const auto* d = std::get_if<double>(&data)) return *d;
    fail("JSON: expected a number");
}
bool Value::boolean() const
{
    if (const auto* b = std::get_if<bool>(&data)) return *b;
    fail("JSON: expected true or false");
}
const Value* Value::find(const std::string& key) const
{
    const Object& o = object();
    const auto it = o.find(key);
    return it == o.end() ? nullptr : &it->second;
}

Value parse(std::string_view text) { return Parser(text).document(); }

std::string write(const Value& value)
{
    std::string out;
    writeValue(out, value, 0);
    out += '\n';
    return out;
}

} // namespace json
