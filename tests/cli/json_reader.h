// SPDX-License-Identifier: MIT
#pragma once
// Just enough JSON reading to check lumo-cli's --json output: a value is read back into
// a tree, and any syntax error (or trailing text) makes the result null.
#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // String: UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](size_t index) const;
};

// The document, or nothing when it is not exactly one valid JSON value.
std::unique_ptr<JsonValue> ParseJson(const std::string& text);
