// A small JSON reader and writer for the simulator's phonebook file.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tabellan::phonesim::json {

class Value;
using Array = std::vector<Value>;
// Members keep the order of the file, so that a rewritten file reads like the original.
using Object = std::vector<std::pair<std::string, Value>>;

class Value {
  public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : data_(b) {}
    Value(double d) : data_(d) {}
    Value(int i) : data_(static_cast<double>(i)) {}
    Value(std::string s) : data_(std::move(s)) {}
    Value(const char* s) : data_(std::string(s)) {}
    Value(Array a) : data_(std::move(a)) {}
    Value(Object o) : data_(std::move(o)) {}

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(data_); }
    bool isBool() const { return std::holds_alternative<bool>(data_); }
    bool isNumber() const { return std::holds_alternative<double>(data_); }
    bool isString() const { return std::holds_alternative<std::string>(data_); }
    bool isArray() const { return std::holds_alternative<Array>(data_); }
    bool isObject() const { return std::holds_alternative<Object>(data_); }

    // The accessors throw std::bad_variant_access on a type mismatch; check first.
    bool asBool() const { return std::get<bool>(data_); }
    double asNumber() const { return std::get<double>(data_); }
    const std::string& asString() const { return std::get<std::string>(data_); }
    const Array& asArray() const { return std::get<Array>(data_); }
    const Object& asObject() const { return std::get<Object>(data_); }

    // The member named key of an object, or nullptr when absent or not an object.
    const Value* find(std::string_view key) const;

    bool operator==(const Value& other) const = default;

  private:
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> data_{nullptr};
};

class ParseError : public std::runtime_error {
  public:
    ParseError(std::size_t line, std::size_t column, const std::string& what);
    std::size_t line() const { return line_; }
    std::size_t column() const { return column_; }

  private:
    std::size_t line_;
    std::size_t column_;
};

// Parses one JSON document (RFC 8259); throws ParseError naming line and column.
Value parse(std::string_view text);

// Writes value as indented JSON text ending in a newline.
std::string write(const Value& value);

}  // namespace tabellan::phonesim::json
