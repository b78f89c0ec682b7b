#include "json_schema.h"

#include <set>

namespace d88test {
namespace {

using nlohmann::json;

bool hasType(const json& value, const std::string& type) {
  if (type == "object") return value.is_object();
  if (type == "array") return value.is_array();
  if (type == "string") return value.is_string();
  if (type == "integer") return value.is_number_integer();
  if (type == "number") return value.is_number();
  if (type == "boolean") return value.is_boolean();
  if (type == "null") return value.is_null();
  return false;
}

std::string check(const json& value, const json& schema, const json& root, const std::string& where) {
  static const std::set<std::string> known = {"$schema",    "$id",   "title",   "description", "$defs",
                                              "$ref",       "type",  "const",   "enum",        "required",
                                              "properties", "items", "minimum", "maximum"};
  for (const auto& [key, unused] : schema.items()) {
    if (known.count(key) == 0) return where + ": the schema uses " + key + ", which is not checked";
  }
  if (schema.contains("$ref")) {
    const std::string ref = schema["$ref"];
    const std::string prefix = "#/$defs/";
    if (ref.rfind(prefix, 0) != 0 || !root["$defs"].contains(ref.substr(prefix.size())))
      return where + ": bad $ref " + ref;
    return check(value, root["$defs"][ref.substr(prefix.size())], root, where);
  }
  if (schema.contains("type")) {
    bool fits = false;
    if (schema["type"].is_array()) {
      for (const json& type : schema["type"]) fits = fits || hasType(value, type);
    } else {
      fits = hasType(value, schema["type"]);
    }
    if (!fits) return where + ": " + value.dump() + " is not of type " + schema["type"].dump();
  }
  if (schema.contains("const") && value != schema["const"]) return where + ": not " + schema["const"].dump();
  if (schema.contains("enum")) {
    bool listed = false;
    for (const json& option : schema["enum"]) listed = listed || option == value;
    if (!listed) return where + ": " + value.dump() + " is none of " + schema["enum"].dump();
  }
  if (value.is_number()) {
    if (schema.contains("minimum") && value < schema["minimum"]) return where + ": below the minimum";
    if (schema.contains("maximum") && value > schema["maximum"]) return where + ": above the maximum";
  }
  if (value.is_object()) {
    if (schema.contains("required")) {
      for (const json& name : schema["required"]) {
        if (!value.contains(name.get<std::string>())) return where + ": no " + name.get<std::string>();
      }
    }
    if (schema.contains("properties")) {
      for (const auto& [name, sub] : schema["properties"].items()) {
        if (!value.contains(name)) continue;
        const std::string problem = check(value[name], sub, root, where + "." + name);
        if (!problem.empty()) return problem;
      }
      // Every field the program writes is documented.
      for (const auto& [name, unused] : value.items()) {
        if (!schema["properties"].contains(name)) return where + ": " + name + " is not in the schema";
      }
    }
  }
  if (value.is_array() && schema.contains("items")) {
    for (std::size_t i = 0; i < value.size(); ++i) {
      const std::string problem = check(value[i], schema["items"], root, where + "[" + std::to_string(i) + "]");
      if (!problem.empty()) return problem;
    }
  }
  return "";
}

}  // namespace

std::string schemaErrors(const json& value, const json& schema) { return check(value, schema, schema, "$"); }

}  // namespace d88test
