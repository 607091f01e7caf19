#include "model/Lines.h"

#include <algorithm>
#include <cstring>

namespace vandrel {

namespace {

// Written lines go into blocks of this size: a cut or a paste writes a few
// hundred short lines, an edit of the Clipboard one per key.
constexpr size_t kWrittenBlock = size_t{1} << 16;

// Blocks a set may keep before it looks for the ones it no longer uses.
constexpr size_t kKeptBlocks = 24;

}  // namespace

TextBlock::TextBlock(size_t capacity) : data_(new char[capacity > 0 ? capacity : 1]), capacity_(capacity) {}

TextBlock::~TextBlock() {
    if (release_) release_(data_, capacity_);
    else delete[] data_;
}

Lines::Lines(SharedText text, std::vector<std::string_view> views)
    : views_(std::make_shared<std::vector<std::string_view>>(std::move(views))) {
    if (views_->empty()) views_->emplace_back();
    if (text) texts_.push_back(std::move(text));
}

Lines::Lines(const std::vector<std::string>& texts) : views_(std::make_shared<std::vector<std::string_view>>()) {
    views_->reserve(texts.size());
    for (const std::string& text : texts) views_->push_back(Store(text));
    if (views_->empty()) views_->emplace_back();
}

std::vector<std::string_view>& Lines::Views() {
    if (views_.use_count() > 1) views_ = std::make_shared<std::vector<std::string_view>>(*views_);
    return *views_;
}

std::string_view Lines::Store(std::string_view text) {
    if (text.empty()) return {};
    char* room = texts_.empty() ? nullptr : texts_.back()->Reserve(text.size());
    if (!room) {
        texts_.push_back(std::make_shared<TextBlock>(std::max(kWrittenBlock, text.size())));
        room = texts_.back()->Reserve(text.size());
    }
    std::memcpy(room, text.data(), text.size());
    texts_.back()->Commit(text.size());
    return {room, text.size()};
}

void Lines::Keep(const Lines& other) {
    for (const SharedText& block : other.texts_)
        if (std::find(texts_.begin(), texts_.end(), block) == texts_.end()) texts_.insert(texts_.begin(), block);
}

void Lines::DropUnusedTexts() {
    if (texts_.size() <= kKeptBlocks) return;
    std::vector<bool> used(texts_.size(), false);
    for (std::string_view line : *views_) {
        if (line.empty()) continue;
        for (size_t b = texts_.size(); b-- > 0;) {
            if (texts_[b]->Holds(line.data())) {
                used[b] = true;
                break;
            }
        }
    }
    // The last block takes new text; it stays whatever holds.
    used.back() = true;
    size_t kept = 0;
    for (size_t b = 0; b < texts_.size(); ++b)
        if (used[b]) texts_[kept++] = std::move(texts_[b]);
    texts_.resize(kept);
}

}  // namespace vandrel
