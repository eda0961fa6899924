#pragma once

#include "publish/MqttPublisher.h"
#include "session/LoggerOptions.h"

#include <memory>

namespace kt7 {

class MessageBoxes;

struct PublisherChoice {
    std::unique_ptr<MqttPublisher> publisher; // none: publishing is off
    bool refused = false; // the command line asked for publishing that cannot be done
};

// Publishing is asked for by --mqtt and its companions, or else by the config file. A setting
// that cannot be used is told once, and so is each cause of a refused connection, through
// messages (which must outlive the publisher); logging goes on without it.
PublisherChoice choosePublisher(const LoggerOptions& options, MessageBoxes& messages);

} // namespace kt7
