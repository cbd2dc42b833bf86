#include "Json.h"

#include "common/Text.h"

#include <cstdio>

namespace quolis::inspect {

void JsonWriter::Newline() {
    out_ += '\n';
    out_.append(first_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) {
            out_ += ',';
        }
        first_.back() = false;
        Newline();
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    out_ += '{';
    first_.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) {
        Newline();
    }
    out_ += '}';
    if (first_.empty()) {
        out_ += '\n';
    }
}

void JsonWriter::BeginArray() {
    BeforeValue();
    out_ += '[';
    first_.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) {
        Newline();
    }
    out_ += ']';
    if (first_.empty()) {
        out_ += '\n';
    }
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    WriteString(key);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::String(std::string_view cp932) {
    BeforeValue();
    WriteString(cp932);
}

void JsonWriter::WriteString(std::string_view cp932) {
    std::string utf8 = Cp932ToUtf8(cp932);
    std::string s = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\t':
            s += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                s += buf;
            } else {
                s += static_cast<char>(c);
            }
        }
    }
    s += '"';
    out_ += s;
}

void JsonWriter::Int(std::int64_t v) {
    BeforeValue();
    out_ += std::to_string(v);
}

void JsonWriter::Float(double v) {
    BeforeValue();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    out_ += buf;
}

void JsonWriter::Bool(bool v) {
    BeforeValue();
    out_ += v ? "true" : "false";
}

} // namespace quolis::inspect
