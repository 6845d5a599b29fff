// The recording as a Value Change Dump (IEEE 1364), the file logic viewers
// and protocol decoders read: a timescale of 1 us, one wire per watched
// line named by pin and signal ("pin11_BUSY"), a wire "blind" that is 1
// while no sample was taken for longer than 10 times the median interval
// (a pulse shorter than that may be missing there), the levels at the
// start in $dumpvars, then only changes. Comments stand in the header and
// after the last change only: some readers stop at a comment among the
// changes (sigrok-cli 0.7 does). It is written
// as the recording goes, through a buffer handed to the file some fifty
// times a second (Flush), so that whatever ends the program, the file
// holds the recording up to then.
//
// Times are whole microseconds and each strictly after the one before: a
// wire changing twice within one microsecond has its second change a
// microsecond later, so a pulse shorter than that is drawn, not lost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "ParallelPins.h"

namespace portcheck {

class VcdWriter {
public:
    VcdWriter() = default;
    VcdWriter(const VcdWriter&) = delete;
    VcdWriter& operator=(const VcdWriter&) = delete;

    // Creates (or replaces) `path`. False with the reason in error().
    bool Open(const std::string& path);
    // The header, the wires and their levels at time 0; `comment` says
    // what was recorded where.
    void Begin(const std::vector<const Pin*>& pins, uint32_t sample, const std::string& comment);
    void Change(int64_t micros, uint32_t before, uint32_t after);
    // No sample from `startMicros` to `endMicros`.
    void Blind(int64_t startMicros, int64_t endMicros);
    // Hands what is buffered to the file; false (and error()) when it fails.
    bool Flush();
    // Closes and deletes the file: nothing was recorded.
    void Discard();
    // Writes the end time, `comment` after it, and closes the file.
    bool Close(int64_t endMicros, const std::string& comment);

    bool open() const { return file_.open(); }
    const std::string& error() const { return error_; }

private:
    void Append(const std::string& text);
    // Moves to `micros` (or just after the last time) for a change of `wire`.
    void At(int64_t micros, int wire);
    void Value(int wire, bool high);

    OutputFile file_;
    std::string path_;
    std::string error_;
    std::string buffer_;
    std::vector<const Pin*> pins_;
    int blindWire_ = 0;
    int64_t time_ = 0;
    std::vector<bool> changedNow_;  // per wire: changed at time_
};

}  // namespace portcheck
