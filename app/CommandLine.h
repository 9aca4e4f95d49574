#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/CommandMessage.h"

namespace varnoset {

// What the program was started to do.
struct Invocation {
    // BindKeys and UnbindKeys are carried out by the starting process itself.
    enum class Kind { Start, Help, Version, Command, BindKeys, UnbindKeys, UsageError };
    Kind kind = Kind::Start;
    std::optional<Request> request;  // with Kind::Command
    QString error;                   // with Kind::UsageError
};

// Reads the arguments (the program's name first). Unknown options, unknown capture kinds, stray
// arguments, more than one command, and a delay out of range or without a capture command are
// usage errors.
Invocation parseCommandLine(const QStringList& arguments);

// The usage text that --help prints, and that a usage error prints after its reason.
QString usageText();

}  // namespace varnoset
