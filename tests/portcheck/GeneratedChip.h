// A port chip made up from a seed, for the property test of PortCheck's
// session: per register, read-back from the latch, from the pins or a fixed
// value; control bits that read 1; an ECR, an alias of control there, or a
// serial port's interrupt identification; a serial port at the base; an
// address with nothing on it; data lines shorted low; a slow input and one
// that drops out once. The data loopback plug is fitted. It logs every
// access. Plain C++: no Windows header, so it builds natively too.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace chipgen {

enum class ReadBack { Latch, Pins, Fixed };
enum class EcrKind { None, AliasOfControl, Real, SerialIir };

struct Access {
    bool write;
    int port;
    uint8_t value;
};

struct GeneratedChip {
    int base = 0x2E0;
    bool absent = false;
    bool serial = false;
    ReadBack dataReads = ReadBack::Latch;
    ReadBack controlReads = ReadBack::Latch;
    uint8_t dataFixed = 0, controlFixed = 0;
    uint8_t controlReadsOne = 0;  // bits 4-7
    bool bidirectional = false;
    uint8_t shortedLow = 0;       // data lines
    uint8_t statusLow = 0;        // status bits 0-2
    EcrKind ecr = EcrKind::None;
    uint8_t ecrValue = 0x15;
    uint8_t slowInputs = 0;       // pairs whose input follows 300 us late
    int dropoutRead = -1;         // the status read at which pair 0's input reads low once
    uint8_t data = 0, control = 0;  // the latches
    uint8_t ier = 0, fcr = 0xC1;    // the serial port's
    std::vector<Access> log;
    std::function<int64_t()> now;   // microseconds

    static constexpr int64_t kSlowMicros = 300;

    // Pair i: data line i to the plug's input, status bits 3-7 (BUSY, bit 7, inverted).
    uint8_t Pins() const {
        const bool inputs = bidirectional && (control & 0x20);
        return static_cast<uint8_t>((inputs ? 0xFF : data) & ~shortedLow);
    }

    uint8_t Status() {
        const int64_t t = now();
        uint8_t levels = Pins() & 0x1F;
        for (int i = 0; i < 5; ++i) {
            if (((levels ^ lastLevels_) >> i) & 1) changedAt_[i] = t;
            if (((slowInputs >> i) & 1) && t - changedAt_[i] < kSlowMicros)
                levels = static_cast<uint8_t>((levels & ~(1u << i)) | (lastSettled_ & (1u << i)));
        }
        lastLevels_ = Pins() & 0x1F;
        lastSettled_ = levels;
        if (statusReads_++ == dropoutRead) levels &= static_cast<uint8_t>(~1u);
        return static_cast<uint8_t>((levels << 3 ^ 0x80) | statusLow);
    }

    uint8_t ControlRead() const {
        if (controlReads == ReadBack::Fixed) return controlFixed;
        return static_cast<uint8_t>(control | controlReadsOne);
    }

    uint8_t ReadAt(int port) {
        if (absent) return 0xFF;
        const int offset = port - base;
        if (serial) {
            switch (offset) {
            case 1: return ier;
            case 2: return fcr & 1 ? 0xC1 : 0x01;
            case 5: return 0x60;
            default: return 0x00;
            }
        }
        if (port == base + 0x402) {
            switch (ecr) {
            case EcrKind::AliasOfControl: return ControlRead();
            case EcrKind::Real: return ecrValue;
            case EcrKind::SerialIir: return 0xC1;
            case EcrKind::None: return 0xFF;
            }
        }
        switch (offset) {
        case 0: return dataReads == ReadBack::Latch ? data : dataReads == ReadBack::Pins ? Pins() : dataFixed;
        case 1: return Status();
        case 2: return ControlRead();
        default: return 0xFF;
        }
    }

    uint8_t Read(int port) {
        const uint8_t value = ReadAt(port);
        log.push_back({false, port, value});
        return value;
    }

    void Write(int port, uint8_t value) {
        log.push_back({true, port, value});
        if (absent) return;
        const int offset = port - base;
        if (serial) {
            if (offset == 1) ier = value & 0x0F;
            if (offset == 2) fcr = value;
            return;
        }
        if (port == base + 0x402 && ecr == EcrKind::Real) ecrValue = static_cast<uint8_t>((value & ~3) | 1);
        if (offset == 0) data = value;
        if (offset == 2) control = value;
    }

    std::string Describe() const {
        static const char* const reads[] = {"latch", "pins", "fixed"};
        static const char* const ecrs[] = {"none", "alias of control", "real", "serial IIR 0xC1"};
        char text[320];
        std::snprintf(text, sizeof text,
                      "chip at 0x%X: absent %d, serial %d, data reads %s (fixed 0x%02X), control reads %s (fixed "
                      "0x%02X), control bits reading 1 0x%02X, bidirectional %d, data shorted low 0x%02X, status "
                      "bits 0-2 0x%X, ECR %s (0x%02X), slow inputs 0x%02X, dropout at status read %d, data 0x%02X, "
                      "control 0x%02X",
                      base, absent, serial, reads[int(dataReads)], dataFixed, reads[int(controlReads)], controlFixed,
                      controlReadsOne, bidirectional, shortedLow, statusLow, ecrs[int(ecr)], ecrValue, slowInputs,
                      dropoutRead, data, control);
        return text;
    }

private:
    uint8_t lastLevels_ = 0, lastSettled_ = 0;
    int64_t changedAt_[5] = {};
    int statusReads_ = 0;
};

inline GeneratedChip Generate(uint32_t seed) {
    std::mt19937 random(seed);
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    const auto byte = [&] { return static_cast<uint8_t>(random()); };
    const auto readBack = [&](int pins, int fixed) {
        const int roll = static_cast<int>(random() % 100);
        return roll < fixed ? ReadBack::Fixed : roll < fixed + pins ? ReadBack::Pins : ReadBack::Latch;
    };
    GeneratedChip chip;
    chip.absent = chance(5);
    chip.serial = !chip.absent && chance(10);
    chip.ier = byte() & 0x0F;
    chip.dataReads = readBack(40, 8);
    chip.controlReads = readBack(0, 12);
    chip.dataFixed = byte();
    chip.controlFixed = chance(50) ? 0xFF : byte();
    chip.controlReadsOne = byte() & 0xF0 & (chance(50) ? 0xE0 : 0xC0);
    chip.bidirectional = chance(50);
    if (chance(12)) chip.shortedLow = static_cast<uint8_t>(1u << (random() % 8));
    chip.statusLow = byte() & 7;
    chip.ecr = static_cast<EcrKind>(random() % 4);
    chip.ecrValue = static_cast<uint8_t>((random() % 2) << 5 | 0x15);
    if (chance(4)) chip.slowInputs = static_cast<uint8_t>(1u << (random() % 5));
    if (chance(5)) chip.dropoutRead = 20 + static_cast<int>(random() % 20);
    chip.data = byte();
    chip.control = byte() & 0x2F;
    return chip;
}

}  // namespace chipgen
