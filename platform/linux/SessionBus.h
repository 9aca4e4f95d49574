#pragma once

#include <QString>

namespace varnoset {

// Whether a service owns the name on the session bus now (false without a session bus).
bool sessionBusHas(const QString& name);

}  // namespace varnoset
