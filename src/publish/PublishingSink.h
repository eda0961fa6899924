#pragma once

#include "publish/MqttPublisher.h"
#include "record/RecordSink.h"

namespace kt7 {

// Hands the recorder's rows to the publisher: the rows the log holds, or every reading polled,
// as the settings ask. Readings are numbered in the order they were polled since start.
class PublishingSink : public RecordSink {
  public:
    explicit PublishingSink(MqttPublisher& publisher) : publisher(publisher) {}
    void readingsPolled(const SampleBlock& block, const QDateTime& when,
                        const TickControls& controls) override;
    void rowsLogged(const std::vector<RecordedRow>& rows, const TickControls& controls) override;

  private:
    MqttPublisher& publisher;
    qint32 readingRows = 0;
};

} // namespace kt7
