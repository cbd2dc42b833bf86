#pragma once
// A small streaming JSON writer. Strings are given in CP932 and written as
// UTF-8. The default layout puts object members on their own lines (arrays
// of plain values stay on one line); the one-line layout writes everything
// on a single line, for trace and log lines.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

class JsonWriter {
public:
    enum class Layout { Indented, OneLine };
    JsonWriter() = default;
    explicit JsonWriter(Layout layout) : oneLine_(layout == Layout::OneLine) {}

    void BeginObject() { Open(false); }
    void EndObject() { Close(); }
    void BeginArray() { Open(true); }
    void EndArray() { Close(); }
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view key);
    void String(std::string_view cp932);
    void Int(std::int64_t v);
    void Float(double v);
    void Bool(bool v);

    const std::string& Text() const { return out_; }

private:
    void Open(bool array);
    void Close();
    void BeforeValue(bool container);
    void WriteString(std::string_view cp932);
    void Newline();

    std::string out_;
    struct Level {
        bool array;
        bool empty;     // no member written yet
        bool multiline; // a member went on its own line
    };
    std::vector<Level> open_;
    bool afterKey_ = false;
    bool oneLine_ = false;
};

} // namespace quolis
