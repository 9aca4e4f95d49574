#include "PosixIdentity.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
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
    std::istringstream lines(text);
    std::string line;
    std::string pretty;
    std::string name;
    while (std::getline(lines, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            pretty = unquote(line.substr(12));
        } else if (line.rfind("NAME=", 0) == 0) {
            name = unquote(line.substr(5));
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
        std::ifstream file(path);
        if (!file) {
            continue;
        }
        std::ostringstream text;
        text << file.rdbuf();
        if (std::string pretty = prettyNameFromOsRelease(text.str()); !pretty.empty()) {
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
