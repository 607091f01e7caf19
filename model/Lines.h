#pragma once
// The lines of a model, kept as views into text that never changes once it is
// written: the bytes of the file as read, in one block, and blocks of lines
// that commands wrote. Copying a set of lines copies only the views; the text
// is shared, so the Clipboard and the undo history hold a model's lines without
// copying them.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// A block of text that lines point into. Bytes once in it never change or move:
// a view into a block stays valid as long as the block lives. New text is only
// ever appended, into the room left at its end.
class TextBlock {
public:
    using Release = void (*)(char* data, size_t capacity);
    explicit TextBlock(size_t capacity);
    // A block over memory allocated elsewhere, handed back with `release`.
    TextBlock(char* data, size_t capacity, Release release) : data_(data), capacity_(capacity), release_(release) {}
    ~TextBlock();
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    // Room for `size` bytes at the end; null when they do not fit. Call Commit
    // after filling it.
    char* Reserve(size_t size) { return used_ + size <= capacity_ ? data_ + used_ : nullptr; }
    void Commit(size_t size) { used_ += size; }

    std::string_view Text() const { return {data_, used_}; }
    size_t Capacity() const { return capacity_; }
    bool Holds(const char* p) const { return p >= data_ && p < data_ + capacity_; }

private:
    char* data_ = nullptr;
    size_t capacity_ = 0;
    size_t used_ = 0;
    Release release_ = nullptr;
};

using SharedText = std::shared_ptr<TextBlock>;

// Line arrays of a line set, 1-based: element 0 exists and is always empty.
// Copies share their views until one of them changes them.
class Lines {
public:
    Lines() : views_(std::make_shared<std::vector<std::string_view>>(1)) {}
    // The lines of `text`: views into it (element 0 first), which this set keeps.
    Lines(SharedText text, std::vector<std::string_view> views);
    // Copies of the given texts, element 0 first.
    explicit Lines(const std::vector<std::string>& texts);

    size_t size() const { return views_->size(); }
    // A line to read; it cannot be assigned to (Set writes a line).
    const std::string_view operator[](size_t i) const { return (*views_)[i]; }

    // The views, to move lines about or to build them anew in one pass. Every view
    // put in must point into text this set keeps: its own (Store), the file it
    // was read from, or text taken over with Keep. A set shared with a copy gets
    // views of its own here, so a reference taken before copying the set goes stale.
    std::vector<std::string_view>& Views();
    const std::vector<std::string_view>& Views() const { return *views_; }

    // Whether the two share their views: then they hold the same lines.
    bool SharesViewsWith(const Lines& other) const { return views_ == other.views_; }

    // A copy of `text` in this set's storage of written lines, to put into the views.
    std::string_view Store(std::string_view text);
    void Set(size_t i, std::string_view text) {
        const std::string_view stored = Store(text);
        Views()[i] = stored;
    }

    // Keeps the text of `other` alive with this set, so that its lines may be put in.
    void Keep(const Lines& other);

    // The blocks this set keeps.
    const std::vector<SharedText>& Texts() const { return texts_; }
    void SetTexts(std::vector<SharedText> texts) { texts_ = std::move(texts); }

    // Forgets blocks that no view points into any more, once there are many. Only
    // between commands: halfway through one, a block may hold lines that are about
    // to be put in.
    void DropUnusedTexts();

private:
    std::shared_ptr<std::vector<std::string_view>> views_;
    std::vector<SharedText> texts_;
};

// Whether two lines hold the same text; the same view is not read.
inline bool SameLineText(std::string_view a, std::string_view b) {
    return (a.data() == b.data() && a.size() == b.size()) || a == b;
}

}  // namespace vandrel
