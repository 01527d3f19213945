// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavero::vxi11 {

/// Gathers one RPC record from the fragments of TCP record marking (a 4-byte header per
/// fragment: the last-fragment bit and a 31-bit length). Asks for exactly the bytes it still
/// needs, so that what follows the record stays in the system's buffers.
class RecordReader {
public:
    /// The longest record taken, in bytes over all its fragments with their headers, so that
    /// empty fragments without end are bounded too.
    explicit RecordReader(std::size_t maxRecordBytes) : maxRecordBytes_(maxRecordBytes) {}

    /// How many bytes the reader takes next: never beyond the record it gathers.
    std::size_t wanted() const;
    /// Takes up to wanted() bytes; returns how many it took.
    std::size_t feed(std::string_view bytes);
    /// A whole record is held.
    bool complete() const { return state_ == State::kComplete; }
    /// The record grew beyond its bound: the stream cannot be read on.
    bool tooLong() const { return state_ == State::kTooLong; }
    /// Whether a record has begun.
    bool started() const { return gathered_ != 0; }
    /// The whole record; the reader then starts the next.
    std::string take();

private:
    enum class State { kHeader, kFragment, kComplete, kTooLong };

    std::size_t maxRecordBytes_;
    State state_ = State::kHeader;
    std::uint32_t header_ = 0;
    std::size_t headerBytes_ = 0;
    std::size_t fragmentLeft_ = 0;
    std::size_t gathered_ = 0;  ///< bytes of the record so far, headers included
    bool lastFragment_ = false;
    std::string record_;
};

/// `record` as one last fragment.
std::string markRecord(std::string_view record);

}  // namespace tavero::vxi11
