#pragma once

#include <QString>

#include "catalog.h"
#include "message.h"

// A message as the user reads it (in German, as the window shows it).
inline QString Text(const Messages::Message& message) {
    return Messages::Render(message, Messages::Language::German);
}
