// Checks a JSON value against a JSON Schema. Debian ships no C++ schema
// validator, so this covers the keywords docs/d88info.schema.json uses:
// $ref to #/$defs, type, const, enum, required, properties, items, minimum
// and maximum. Any other keyword is an error, so the schema cannot grow
// past what is checked.
#ifndef TESTS_JSON_SCHEMA_H
#define TESTS_JSON_SCHEMA_H

#include <string>

#include <nlohmann/json.hpp>

namespace d88test {

// "" when `value` fits `schema`, else where and why it does not.
std::string schemaErrors(const nlohmann::json& value, const nlohmann::json& schema);

}  // namespace d88test

#endif  // TESTS_JSON_SCHEMA_H
