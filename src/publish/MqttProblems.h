#pragma once

#include "publish/MqttSettings.h"

namespace kt7 {

// What the user is told when the broker of settings cannot be used. None of them holds the
// password, and each says that publishing keeps trying while logging goes on.

// The broker answered CONNECT with a refusal: CONNACK code of MQTT 3.1.1 (1..5) or MQTT 5 (128+).
QString refusedConnectionText(int connackCode, const MqttSettings& settings);

// The TLS handshake failed; libraryErrors are the library's error lines of that attempt.
QString tlsFailureText(const QStringList& libraryErrors, const MqttSettings& settings);

// The broker's host name did not resolve; reason is the resolver's text.
QString hostNotFoundText(const QString& reason, const MqttSettings& settings);

} // namespace kt7
