#pragma once

#include "publish/MqttSettings.h"

namespace kt7 {

// What the user is told when the broker of settings cannot be used: a message that says that
// publishing keeps trying while logging goes on, and its cause alone for a status line. None of
// them holds the password.
struct MqttProblem {
    QString message;
    QString cause;
};

// The broker answered CONNECT with a refusal: CONNACK code of MQTT 3.1.1 (1..5) or MQTT 5 (128+).
MqttProblem refusedConnection(int connackCode, const MqttSettings& settings);

// The TLS handshake failed; libraryErrors are the library's error lines of that attempt.
MqttProblem tlsFailure(const QStringList& libraryErrors, const MqttSettings& settings);

// The broker's host name did not resolve; reason is the resolver's text.
MqttProblem hostNotFound(const QString& reason, const MqttSettings& settings);

} // namespace kt7
