#include "platform/linux/PosixIdentity.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <algorithm>
#include <string_view>
#include <vector>

namespace varnoset {

namespace {

std::string unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
        }
        out += value[i];
    }
    return out;
}

}  // namespace

std::string PosixIdentity::prettyNameFromOsRelease(const std::string& text) {
    std::string pretty;
    std::string name;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.starts_with("PRETTY_NAME=")) {
            pretty = unquote(std::string(line.substr(12)));
        } else if (line.starts_with("NAME=")) {
            name = unquote(std::string(line.substr(5)));
        }
    }
    return pretty.empty() ? name : pretty;
}

std::optional<std::string> PosixIdentity::userName() const {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && *found->pw_name) {
        return std::string(found->pw_name);
    }
    return std::nullopt;
}

std::optional<std::string> PosixIdentity::computerName() const {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') {
        return std::string(name);
    }
    return std::nullopt;
}

std::optional<std::string> PosixIdentity::osName() const {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        // Read through Qt rather than a C++ stream: the first stream sets up the C++ library's
        // locale, some 400 kB that the program would hold for this one read.
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        if (std::string pretty = prettyNameFromOsRelease(file.readAll().toStdString());
            !pretty.empty()) {
            return pretty;
        }
    }
    utsname uts{};
    if (uname(&uts) == 0) {
        return std::string(uts.sysname) + " " + uts.release;
    }
    return std::nullopt;
}

}  // namespace varnoset
