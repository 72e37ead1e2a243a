#include "support/PiecedText.h"

#include <algorithm>
#include <cstring>

#include "support/StringLib.h"

namespace brelmont {
namespace {

// Blocks for own characters start small, since most rewrites own only a block of a few lines, and
// double up to a size that keeps a rewrite of mostly own lines to few allocations.
constexpr std::size_t kFirstOwnBlock = 1024;
constexpr std::size_t kLargestOwnBlock = 64 * 1024;

}  // namespace

PiecedText::PiecedText(std::string source)
    : source_(std::make_unique<std::string>(std::move(source))) {}

void PiecedText::AppendSource(std::size_t from, std::size_t length) {
    if (length == 0) {
        return;
    }
    if (pendingLength_ > 0 && pendingFrom_ + pendingLength_ == from) {
        pendingLength_ += length;
        return;
    }
    PlacePending();
    pendingFrom_ = from;
    pendingLength_ = length;
}

void PiecedText::PlacePending() const {
    if (pendingLength_ == 0) {
        return;
    }
    char* const source = source_->data();
    if (!pieces_.empty() && !lastIsOwn_) {
        const std::string_view last = pieces_.back();
        char* const end = source + (last.data() + last.size() - source);
        if (end != source + pendingFrom_) {
            std::memmove(end, source + pendingFrom_, pendingLength_);
        }
        pieces_.back() = {last.data(), last.size() + pendingLength_};
    } else {
        pieces_.push_back({source + pendingFrom_, pendingLength_});
        lastIsOwn_ = false;
    }
    pendingLength_ = 0;
}

std::string_view PiecedText::Store(std::string_view piece) {
    if (piece.size() > ownRoom_) {
        ownBlockSize_ =
            std::max(std::clamp(ownBlockSize_ * 2, kFirstOwnBlock, kLargestOwnBlock), piece.size());
        ownBlocks_.push_back(std::make_unique_for_overwrite<char[]>(ownBlockSize_));
        ownRoom_ = ownBlockSize_;
    }
    char* const at = ownBlocks_.back().get() + (ownBlockSize_ - ownRoom_);
    std::memcpy(at, piece.data(), piece.size());
    ownRoom_ -= piece.size();
    return {at, piece.size()};
}

void PiecedText::AppendOwn(std::string_view piece) {
    if (piece.empty()) {
        return;
    }
    PlacePending();
    const std::string_view stored = Store(piece);
    if (!pieces_.empty() && lastIsOwn_ &&
        pieces_.back().data() + pieces_.back().size() == stored.data()) {
        pieces_.back() = {pieces_.back().data(), pieces_.back().size() + stored.size()};
        return;
    }
    pieces_.push_back(stored);
    lastIsOwn_ = true;
}

void PiecedText::EndWithOneCrLf() {
    PlacePending();
    while (!pieces_.empty()) {
        const std::size_t kept = pieces_.back().find_last_not_of("\r\n");
        if (kept != std::string_view::npos) {
            pieces_.back() = pieces_.back().substr(0, kept + 1);
            break;
        }
        pieces_.pop_back();
    }
    // A shortened own piece no longer ends where the next own characters go.
    lastIsOwn_ = false;
    AppendOwn(kCrLf);
}

std::span<const std::string_view> PiecedText::Pieces() const {
    PlacePending();
    return pieces_;
}

std::size_t PiecedText::Size() const {
    PlacePending();
    std::size_t size = 0;
    for (const std::string_view piece : pieces_) {
        size += piece.size();
    }
    return size;
}

std::string PiecedText::Joined() const {
    PlacePending();
    std::string text;
    text.reserve(Size());
    for (const std::string_view piece : pieces_) {
        text += piece;
    }
    return text;
}

}  // namespace brelmont
