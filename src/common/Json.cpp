#include "common/Json.h"

#include "common/Text.h"

#include <cstdio>

namespace quolis {

void JsonWriter::Newline() {
    if (oneLine_) {
        return;
    }
    out_ += '\n';
    out_.append(open_.size() * 2, ' ');
}

void JsonWriter::BeforeValue(bool container) {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (open_.empty()) {
        return;
    }
    Level& o = open_.back();
    if (!o.empty) {
        out_ += ',';
    }
    // Arrays of plain values stay on one line.
    if (oneLine_) {
        if (!o.empty) {
            out_ += ' ';
        }
    } else if (o.array && !container) {
        if (!o.empty) {
            out_ += ' ';
        }
    } else {
        o.multiline = true;
        Newline();
    }
    o.empty = false;
}

void JsonWriter::Open(bool array) {
    BeforeValue(true);
    out_ += array ? '[' : '{';
    open_.push_back({array, true, false});
}

void JsonWriter::Close() {
    const bool array = open_.back().array;
    const bool multiline = open_.back().multiline;
    open_.pop_back();
    if (multiline) {
        Newline();
    }
    out_ += array ? ']' : '}';
    if (open_.empty() && !oneLine_) {
        out_ += '\n';
    }
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue(true);
    WriteString(key);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::String(std::string_view cp932) {
    BeforeValue(false);
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
    BeforeValue(false);
    out_ += std::to_string(v);
}

void JsonWriter::Float(double v) {
    BeforeValue(false);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    out_ += buf;
}

void JsonWriter::Bool(bool v) {
    BeforeValue(false);
    out_ += v ? "true" : "false";
}

} // namespace quolis
