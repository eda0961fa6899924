#pragma once

#include "SimulatorOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The simulator's flags, their checks and the help text.
class CommandLine {
  public:
    CommandLine();

    // The options, or nothing when the arguments are wrong (see errorText) or help was asked.
    std::optional<SimulatorOptions> parse(const QStringList& arguments);
    bool helpRequested() const { return helpRequested_; }
    QString helpText() const { return parser_.helpText(); }
    QString errorText() const { return error_; }

  private:
    std::optional<SimulatorOptions> options();
    std::optional<std::vector<int>> ports();
    std::optional<std::vector<DeviceSettings>> devices(const std::vector<int>& ports);
    std::optional<DeviceSettings> commonSettings();
    std::optional<QStringList> perDevice(const QString& single, const QString& list,
                                         std::size_t count);
    std::optional<std::vector<std::pair<double, double>>>
    perDeviceRanges(const DeviceSettings& common, std::size_t count);
    std::optional<double> number(const QString& name);
    // Keeps the first error, which is the one the user has to fix first.
    std::nullopt_t fail(const QString& message);

    QCommandLineParser parser_;
    QString error_;
    bool helpRequested_ = false;
};
