#pragma once

#include <QByteArray>

#include <cstdint>
#include <map>

namespace vrs::devsim {

// Flash-like memory of the simulated device: only written ranges are held,
// everything else reads as erased (0xFF).  Addresses are 32-bit; a write
// that would run past 4 GiB is refused by the caller before it gets here.
class SparseMemory {
public:
    void Write(uint32_t address, const QByteArray &data);
    QByteArray Read(uint32_t address, uint32_t size) const;
    void Clear() { m_segments.clear(); }
    bool IsEmpty() const { return m_segments.empty(); }

    // The written ranges, ascending, with touching writes merged into one.
    const std::map<uint32_t, QByteArray> &Segments() const { return m_segments; }

private:
    std::map<uint32_t, QByteArray> m_segments;
};

} // namespace vrs::devsim
