// Fuzzes the set-up file reader and the conversions the window applies on load. Whatever a file
// holds, reading must end without a crash; and every setting it yields must survive being saved
// and read again unchanged.
#include "setup/SetupFile.h"

#include <cstdint>
#include <cstdlib>

using namespace kt7;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// A text exactly as the window would restore it; a lone CR cannot be saved and turns into a blank.
QString restoredText(const SetupValue& value) {
    return toText(value).replace(u'\r', u' ');
}

int restoredInt(const SetupValue& value, int fallback) {
    const std::optional<qint16> number = toInt16(value);
    return number ? *number : fallback;
}

bool restoredBool(const SetupValue& value) {
    const std::optional<bool> flag = toBoolean(value);
    return flag && *flag;
}

SetupData restored(const SetupFileContent& content) {
    SetupData data;
    if (const auto& g = content.general)
        data.general = {restoredInt((*g)[0], 0), restoredBool((*g)[1]), restoredBool((*g)[2]),
                        restoredText((*g)[3]), restoredText((*g)[4])};
    for (std::size_t i = 0; i < data.devices.size(); ++i) {
        if (const auto& d = content.devices[i])
            data.devices[i] = {restoredInt((*d)[0], 0), restoredText((*d)[1]),
                               restoredText((*d)[2]),   restoredInt((*d)[3], 0),
                               restoredInt((*d)[4], 0), restoredText((*d)[5])};
    }
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SetupFileContent content = readSetupFile(bytes, kt7::CodePage::utf8());
    require(content.general.has_value() == content.problem.isEmpty());
    if (!content.general)
        for (const auto& device : content.devices)
            require(!device.has_value());

    const SetupData settings = restored(content);
    const SetupFileContent again =
        readSetupFile(writeSetupFile(settings, kt7::CodePage::utf8()), kt7::CodePage::utf8());
    require(again.problem.isEmpty());
    for (const auto& device : again.devices)
        require(device.has_value());
    require(restored(again) == settings);
    return 0;
}
