#pragma once
// A small streaming JSON writer. Strings are given in CP932 and written as
// UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quolis::inspect {

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view key);
    void String(std::string_view cp932);
    void Int(std::int64_t v);
    void Float(double v);
    void Bool(bool v);

    const std::string& Text() const { return out_; }

private:
    void BeforeValue(bool container);
    void WriteString(std::string_view cp932);
    void Newline();

    std::string out_;
    struct Open {
        bool array;
        bool empty;     // no member written yet
        bool multiline; // a member went on its own line
    };
    std::vector<Open> open_;
    bool afterKey_ = false;
};

} // namespace quolis::inspect
