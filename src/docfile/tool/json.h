// A small JSON reader and writer for doctool: enough for the document
// dumps it prints and reads back.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace json {

struct Value;
using Array = std::vector<Value>;
using Object = std::map<std::string, Value>;

struct Value {
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> data = nullptr;

    Value() = default;
    Value(bool b) : data(b) {}
    Value(double d) : data(d) {}
    Value(int i) : data(static_cast<double>(i)) {}
    Value(std::string s) : data(std::move(s)) {}
    Value(const char* s) : data(std::string(s)) {}
    Value(Array a) : data(std::move(a)) {}
    Value(Object o) : data(std::move(o)) {}

    bool isObject() const { return std::holds_alternative<Object>(data); }
    // Typed access; throws std::runtime_error naming the expected type.
    const Object& object() const;
    const Array& array() const;
    const std::string& string() const;
    double number() const;
    bool boolean() const;
    // A member of an object, or nullptr.
    const Value* find(const std::string& key) const;

    bool operator==(const Value&) const = default;
};

// Throws std::runtime_error with the byte offset of the first problem.
Value parse(std::string_view text);
// Two-space indented, non-ASCII characters written as they are (UTF-8).
std::string write(const Value& value);

} // namespace json
