#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont {

// A text made of stretches of one source text and of pieces of its own. A rewrite of a large
// file that keeps most of it is written out from the text as it was read, without building a
// second copy of the whole: filling fresh memory the size of the file cost more than all the rest
// of such an edit. Stretches that follow one another are closed up in the source itself, over the
// characters the rewrite dropped between them, so that the text stays a few long pieces.
class PiecedText {
  public:
    explicit PiecedText(std::string source);

    std::string_view Source() const { return *source_; }

    // The source's characters [from, from + length) next. Stretches come in the source's order
    // and never overlap; when the previous piece is a stretch too, this one is moved to follow it
    // directly, so the source's characters before from + length - 1 that belong to no stretch are
    // written over: a caller reads the source only from there on.
    void AppendSource(std::size_t from, std::size_t length);
    // A copy of `piece` next.
    void AppendOwn(std::string_view piece);
    // The run of CR and LF characters at the end, however many pieces it spans, replaced by one
    // CR LF.
    void EndWithOneCrLf();

    std::size_t Size() const;
    // The pieces in order, valid while this text lives unchanged.
    std::span<const std::string_view> Pieces() const;
    std::string Joined() const;

  private:
    // Moves the stretches not yet placed to follow the last stretch: one move a run of stretches
    // that follow one another, rather than one a stretch.
    void PlacePending() const;

    // Own characters go to blocks that never move, so that pieces can point into them.
    std::string_view Store(std::string_view piece);

    std::unique_ptr<std::string> source_;  // held apart so that its characters stay put on a move
    std::vector<std::unique_ptr<char[]>> ownBlocks_;
    std::size_t ownBlockSize_ = 0;  // of the last block
    std::size_t ownRoom_ = 0;       // free characters at its end
    // Placing pending stretches changes how the text is held, never what it holds.
    mutable std::vector<std::string_view> pieces_;
    mutable bool lastIsOwn_ = false;
    mutable std::size_t pendingFrom_ = 0;  // stretches appended but not yet placed
    mutable std::size_t pendingLength_ = 0;
};

}  // namespace brelmont
