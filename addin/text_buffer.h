// A growable byte buffer that the markup is written into. Unlike std::string it lets a writer
// reserve room once and then write without a check per piece, which is how the compiled
// tables are copied out (program.h).
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace pellwyn {

class TextBuffer {
public:
    explicit TextBuffer(std::size_t capacity = 64 * 1024) : data_(new char[capacity]), capacity_(capacity) {}

    std::string_view view() const noexcept { return {data_.get(), size_}; }
    operator std::string_view() const noexcept { return view(); }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    void clear() noexcept { size_ = 0; }
    void assign(std::string_view s) {
        size_ = 0;
        append(s);
    }
    void append(std::string_view s) {
        if (s.empty()) return;  // an empty view may hold no pointer, and memcpy wants one even for 0 bytes
        Reserve(s.size());
        std::memcpy(data_.get() + size_, s.data(), s.size());
        size_ += s.size();
    }

    // Makes room for `more` bytes after the end and returns where they go; Commit then sets
    // the end to a pointer within that room.
    char* Reserve(std::size_t more) {
        if (capacity_ - size_ < more) Grow(size_ + more);
        return data_.get() + size_;
    }
    void Commit(const char* end) noexcept { size_ = static_cast<std::size_t>(end - data_.get()); }

private:
    void Grow(std::size_t needed) {
        std::size_t capacity = capacity_ * 2;
        if (capacity < needed) capacity = needed;
        std::unique_ptr<char[]> data(new char[capacity]);
        std::memcpy(data.get(), data_.get(), size_);
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_;
};

}  // namespace pellwyn
