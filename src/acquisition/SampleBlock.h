#pragma once

#include <array>
#include <optional>
#include <vector>

namespace kt7 {

constexpr int DeviceCount = 8;
constexpr int MaxBlockRows = 51;

// One tick's readings: a column of cells per device, every column of the same row count.
// An empty cell means the device has no value in that row.
struct SampleBlock {
    std::array<std::vector<std::optional<double>>, DeviceCount> columns;

    int rowCount() const { return static_cast<int>(columns[0].size()); }
    std::array<std::optional<double>, DeviceCount> row(int r) const {
        std::array<std::optional<double>, DeviceCount> cells;
        for (int d = 0; d < DeviceCount; ++d)
            cells[d] = columns[d][r];
        return cells;
    }
};

} // namespace kt7
