#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace varnoset::test {

// Sets an environment variable while it lives (for this process and the programs it starts) and
// then puts back what was there before, or unsets it.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const QByteArray& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) {
            previous_ = qgetenv(name);
        }
        qputenv(name, value);
    }
    ~EnvironmentOverride() {
        if (previous_) {
            qputenv(name_, *previous_);
        } else {
            qunsetenv(name_);
        }
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

}  // namespace varnoset::test
