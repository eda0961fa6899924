#include "session/PublisherChoice.h"

#include "platform/MessageBoxes.h"
#include "platform/core/PortPaths.h"

namespace kt7 {

PublisherChoice choosePublisher(const LoggerOptions& options, MessageBoxes& messages) {
    const MqttSettingsResult result = chosenMqttSettings(options.mqttUrl, options.mqttStation,
                                                         options.mqttReadings, configFolder());
    PublisherChoice choice;
    if (!result.error.isEmpty()) {
        messages.show(result.error);
        choice.refused = !options.mqttUrl.isEmpty();
    }
    if (!result.settings)
        return choice;
    choice.publisher = std::make_unique<MqttPublisher>(*result.settings);
    // A broker that refuses the logger says why, once per cause; publishing keeps trying.
    QObject::connect(choice.publisher.get(), &MqttPublisher::problem, choice.publisher.get(),
                     [&messages](const QString& text) { messages.show(text); });
    return choice;
}

} // namespace kt7
