#pragma once

#include "setup/SetupFile.h"

#include <QString>

#include <optional>

namespace kt7 {

// Outcome of loading or saving a set-up file: ok, or the message for the user, which names the
// file and says what went wrong in the program's or the system's words.
struct SetupFileResult {
    bool ok = true;
    QString message;
    SetupFileContent content; // what a load read
};

// The set-up file on the disk. A load refuses a file too large to be one and a file whose line 1
// cannot be read; a save replaces the old file only once the new one has been written whole.
class SetupFileStore {
  public:
    explicit SetupFileStore(CodePage codePage) : codePage_(std::move(codePage)) {}
    SetupFileResult load(const QString& path) const;
    SetupFileResult save(const QString& path, const SetupData& data) const;

  private:
    CodePage codePage_;
};

// Line 1's sampling options as the controls take them. Reading stops at the first value no
// control can take: firstInvalidField is its 1-based number (0 when all three are good) and the
// options from it on are empty.
struct SetupSampling {
    std::optional<qint16> autoSample; // 0, 1 or 2 (the check box's states)
    std::optional<bool> fast;
    std::optional<bool> sec;
    int firstInvalidField = 0;
};
SetupSampling readSetupSampling(const std::array<SetupValue, 5>& general);
QString setupFieldInvalidText(const QString& path, int field);

} // namespace kt7
